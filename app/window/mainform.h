// The main window: one class whose handlers are defined in files by subsystem
// (app/window/ for the shell, rhythm/window/ for the rhythm library, ...).
#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <random>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/follow.h"
#include "engine/sequencer.h"
#include "app/window/window_devices.h"
#include "app/workspace.h"
#include "platform/hid/hid_device.h"
#include "platform/serial/serial_port.h"
#include "engine/sound_bank.h"
#include "guitar/edit.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out.h"
#include "platform/audio/sound_play.h"
#include "platform/ui/dialogs.h"
#include "platform/net/service_announcer.h"
#include "links/phone_link_server.h"
#include "engine/window/sounds_panel.h"
#include "links/window/device_panel.h"
#include "rhythm/dataset.h"
#include "rhythm/window/dataset_panel.h"
#include "rhythm/editor_state.h"
#include "rhythm/records.h"
#include "tuner/tuner_input.h"
#include "tuner/window/tuner_panel.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QRadioButton;
class QSlider;
class QTextEdit;
class QTimer;
class QWidget;
class SettingsIni;
class StringGrid;
class TabChart;
struct DeviceLink;
struct IdentifyOutcome;
class FretboardPicture;
class EditorBox;
class QKeyEvent;
struct EditorRules;

// The state under the window and the short names of its parts are the
// WorkspaceParts' (app/workspace.h).
class TMainForm : public QMainWindow, public WorkspaceParts {
  Q_OBJECT
 public:
  struct Options : WindowDevices {
    QString iniPath = "DRAV_PROF.ini";
    QString commandLineList;            // a .vl2 named on the command line
    // --- companion app link ---
    std::unique_ptr<ServiceAnnouncer> announcer;  // null: no phone link
    phone::PhoneServerMaker phoneServer;            // null: no phone link (phone::MakePhoneServer)
    uint16_t phonePort = phone::kPort;             // 0: any free port (tests)
  };
  explicit TMainForm(Options opts);
  ~TMainForm() override;

  // --- start-up and shell (app/) ---
  // The "Ver" items; each close label "X" runs its panel's item.
  void Metrnomo1Click();
  void Temas1Click();
  void Frmulas1Click();
  void Pistas1Click();
  void Onda1Click();
  void Sonidos1Click();
  void Afinador1Click();  // tuner/window/form_tuner.cpp
  void Guitarra1Click();  // opens the guitar panel on the selected theme, or closes it
  bool BonjourPresent = false;  // the DNS-SD server is installed (never yet)
  bool FormClosed = false;      // a close went through: a later one does nothing
  void FormCreate();
  bool FormClose();  // false: the program keeps running
  void Salir1Click();
  void BuildStartupControls();
  bool OpenWaveInput();
  std::vector<std::string> StartupSteps;  // the start-up steps in the order they ran
  std::string GuitarBankName = "Guitarra";
  QRadioButton* RBMicro = nullptr;
  QRadioButton* RBMetro = nullptr;
  QComboBox* CBGuitarras = nullptr;
  QLabel* Image9 = nullptr;  // the guitar panel's picture
  std::unique_ptr<audio::WaveIn> WaveIn;
  std::atomic<bool> WaveInReady{false};
  void Log(const QString& line);
  QString Tr(const char* spanish, const char* english) const { return English ? QString::fromUtf8(english) : QString::fromUtf8(spanish); }
  void TogglePanel(QWidget* panel, QAction* item, bool bringToFront);

  // --- data set on disk (rhythm/window/form_dataset.cpp) ---
  // The dialogs, the question, the save as, the reports and the undo are the
  // data-set panel's (rhythm/window/dataset_panel.h).
  DataSetPanel DataSetPane{DataSet, *Rhythm, EditionDataSetRules(), DataSetSide()};
  static DataSetRules EditionDataSetRules();
  DataSetPanel::WindowSide DataSetSide();
  void ShowDataSetName();  // window caption, sounds panel and Label21
  void Abrir2Click();
  void botonrecClick();
  void Guardar1Click();
  void Guardarcomo1Click();
  void Nuevo1Click();
  void Original1Click();
  void Deshacertodo1Click();
  void AbreSonidos();
  // Runs the open; false when it was stopped at the save question.
  bool OpenDataSet();
  // The save; false when nothing was written (answer not Yes, or a failure).
  bool SaveDataSet();

  // --- records (rhythm/window/form_records.cpp) ---
  void Cambios();
  void ClearModified();
  bool Modified() const;
  void Nuevafrmula1Click();
  void Nuevotema1Click();
  void Limpiarfrmula1Click();
  void Copiarfrmula1Click();
  void Pegarfrmula1Click();
  void SGFormulasSelectCell(int col, int row);
  void SGTemasSelectCell(int col, int row);
  void RadioButton1Click();
  void FillFormulaRow(int i);
  void FillTemaRow(int m);
  void FillSequenceGrid(int t);

  // --- formula, track and theme editors (rhythm/layout_rhythm.cpp and form_*.cpp) ---
  void BuildRhythmEditors();    // creates the editors' own controls
  void ConnectRhythmEditors();  // binds their handlers
  // Formula and track editor (rhythm/window/form_formulas.cpp).
  void SGFormulasSetEditText(int col, int row, const QString& value);
  void SGFormulasExit();
  void SGFormulasClick();
  void SGFormulasKeyDown();
  void SGFormulasMouseMove();
  void SGFormulasDrawCell(class QPainter* p, int col, int row, const QRect& rect);
  void SGDatosFormulaSelectCell(int col, int row);
  void SGDatosFormulaSetEditText(int col, int row, const QString& value);
  void SGDatosFormulaDrawCell(class QPainter* p, int col, int row, const QRect& rect);
  void CBSonidosChange(int index);
  void CheckBox1Click();
  void RBTiempoClick();
  void RBAcentoClick();
  // Theme editor (rhythm/window/form_temas.cpp).
  void SGSacoSelectCell(int col, int row);
  void SGSacoSetEditText(int col, int row, const QString& value);
  void BotonPoneAntesClick();
  void BotonPoneDespuesClick();
  void BotonQuitaClick();
  void SGTemasSetEditText(int col, int row, const QString& value);
  void PartesChange();
  void IntroChange();
  void FinChange();
  void SGTemasDrawCell(class QPainter* p, int col, int row, const QRect& rect);
  // The limits of the records the editors keep: the current records' own.
  static const EditorRules EditRules;
  // Label22: the length of one compás of that many beats at the tempo in force.
  void ShowFormulaLength(int beats);
  // The modified mark shown directly, also while a theme plays.
  void ShowModifiedMark();
  // The formula the pattern grid shows and the theme the sequence grid shows,
  // -1 when the grids show none; edits go to these records.
  int EditedFormula() const;
  int CommandFormula() const;  // the formula the track and beat commands edit
  int EditedTema() const;
  // The counts of the tables (the grids show them): at most 512 and 128.
  int FormulaCount() const;
  int TemaCount() const;
  // Guitar panel around a theme change: closes it (true when it was open)
  // and opens it again on the new theme; the guitar sliders' gain.
  bool CloseGuitarForThemeChange();
  void ReopenGuitarAfterThemeChange(int row);
  void LoadGuitarSliders();
  QLabel* Label14 = nullptr;   // where the formula is used
  QLabel* Label25 = nullptr;   // the formula to add
  QLabel* Image7 = nullptr;    // guitar mark of the theme grid (hidden)
  QLineEdit* Partes = nullptr;
  QLineEdit* Intro = nullptr;
  QLineEdit* Fin = nullptr;
  QLabel *LabelPartes = nullptr, *LabelIntro = nullptr, *LabelFin = nullptr;
  QPushButton* BotonPoneAntes = nullptr;
  QPushButton* BotonPoneDespues = nullptr;
  QPushButton* BotonQuita = nullptr;
  QLabel *Label46 = nullptr, *Label47 = nullptr, *Label42 = nullptr, *Label43 = nullptr, *Label40 = nullptr,
         *Label41 = nullptr;
  // --- library commands: clipboards, sorting, deletion, converter, import ---
  // (rhythm/window/form_library.cpp, rhythm/window/form_import.cpp)
  // Creates the search boxes and the theme stepping buttons, and binds the
  // library's menu items and popup entries.
  void BuildLibraryControls();
  // Creates the theme import dialog (once); the program entry calls it after
  // the about box, and the import command creates it when it is missing.
  void CreateImportDialog();
  void Copiarpista1Click();
  void Pegarpista1Click();
  void Limpiarpista1Click();
  void Copiartiempo1Click();
  void Pegartiempo1Click();
  void Limpiartiempo1Click();
  void Moveralaizquierda1Click();
  void Moveraladerecha1Click();
  void SwapFormulaTracks(int a, int b);
  void Edit3Change();
  void OrdenarClick();
  void Borrarfrmula1Click();
  void Copiartema1Click();
  void Pegartema1Click();
  void Limpiartema1Click();
  void Borrartema1Click();
  void Ordenarpornombre1Click();
  void LabeledEdit1Change();
  void menostemaClick();
  void mastemaClick();
  void ImportarPELNv1Click();
  void ImportarTEMA1Click();
  // Copies theme a of the other set (ImportTemas) into the open set; false
  // when a table limit refused it (the user was told).
  bool ImportarTema(int a);
  void RefillFormulaRows();   // number, beats, name and first beat of every row
  TrackClipboardState TrackClipboard;
  BeatClipboardState BeatClipboard;
  int ThemeClipboard = 0;
  std::string OlePath;
  class TFormImportar* FormImportar = nullptr;
  QAction *Borrarfrmula1 = nullptr, *Ordenarpornombre2 = nullptr;
  QAction *Copiarpista1 = nullptr, *Pegarpista1 = nullptr, *Limpiarpista1 = nullptr, *Copiartiempo1 = nullptr,
          *Pegartiempo1 = nullptr, *Limpiartiempo1 = nullptr;
  QAction *Copiartema1 = nullptr, *Pegartema1 = nullptr, *Limpiartema1 = nullptr, *Borrartema1 = nullptr,
          *Ordenarpornombre1 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLabel* Edit3Label = nullptr;
  QLineEdit* LabeledEdit1 = nullptr;
  QLabel* LabeledEdit1Label = nullptr;
  QPushButton *menostema = nullptr, *mastema = nullptr;

  // --- sound bank, mixer and its controls (engine/layout_engine.cpp and form_*.cpp) ---
  void BuildEngineControls();
  void ConnectEngineControls();
  // (the engine's handlers are declared here)
  // The sounds panel: the set's list, the library, the preview and the
  // sample chart, with their menus and commands (engine/window/sounds_panel.h);
  // here the list commands write the list file (the rules' defaults).
  SoundsPanel SoundsPane{*Bank, *Rhythm, *Deck, *Engine, DataSet, SoundsRules{}, SoundsSide()};
  SoundsPanel::WindowSide SoundsSide();
  void FillSoundChoosers();  // CBSonidos and CBMetro from the list
  // The panel's parts under the names the window has always given them.
  std::vector<std::string>& SoundList = SoundsPane.SoundList;
  QListWidget *&LBIns = SoundsPane.LBIns, *&LBwavs = SoundsPane.LBwavs;
  QMenu *&PopupMenu3 = SoundsPane.PopupMenu3, *&PopupMenu4 = SoundsPane.PopupMenu4;
  QAction *&Eliminar1 = SoundsPane.Eliminar1, *&Arriba1 = SoundsPane.Arriba1, *&Bajar1 = SoundsPane.Bajar1,
          *&Cambiar1 = SoundsPane.Cambiar1, *&Aadir1 = SoundsPane.Aadir1;
  QLabel *&Label15 = SoundsPane.Label15, *&Label29 = SoundsPane.Label29;
  QPushButton*& SpeedButton1 = SoundsPane.SpeedButton1;
  QWidget*& OscSonidos = SoundsPane.OscSonidos;  // chart view of a sound's samples
  QPoint& PopupMenu3Point = SoundsPane.PopupMenu3Point;
  std::unique_ptr<audio::SoundPlayer>& SoundPreview = SoundsPane.SoundPreview;
  // Mixer controls.
  void TB2Change();
  void TB1Change();
  void Edit1Change();
  void ClickPresetClick(char code);
  void NivelChange();
  void tbvolumenChange();
  void EdVolKeyPress();
  void EdVolChange();
  void TBPan1Change();
  void TBVol1Change();
  void Solo1Click();
  void Mute1Click();
  void CheckBox2MouseDown();
  void ShowMuteSoloColours();
  void SetOutputVolume(uint32_t volume);  // both channels, as the wave output takes it
  // Wave output: opened at start-up; each mixed beat is queued on it.
  void OpenWaveOutput();
  void CloseWaveOutput();
  void MixBeat();            // mixes the next beat into the free half and queues it
  void OnBufferDone();       // GUI thread, once per finished buffer
  std::unique_ptr<audio::WaveOut> WaveOut;
  bool WaveOutReported = false;  // an output that could not be opened was reported
  // Sequencer and transport.
  void BuildTransportControls();
  void ConnectTransportControls();
  void Timer1Timer();
  // A play start: the beat step runs from now on (here the wake alone drives it).
  void StartBeatStep();
  void BotonPlayCompClick();
  void botonplayClick();
  void botonpausaClick();
  void botonstopClick();
  void Timer4Timer();
  void ShowCompasCounter();
  void ClearPlayedEntries();
  void NormalizarTema(int t);      // NormalizeTheme, then the selected entry's formula
  void UnificaPistas1Click();
  void LasNotasClick();
  // Moves the sequence in play to an entry row and shows it there.
  void SelectEntryRow(int row, bool evenIfSelected = false);
  // Shows the entry row the sequence is at, and its formula (view only).
  void ShowEntryRow(int row);
  // What the sequence grid shows, and the paint of the rows the player shows.
  SequenceView ShownSequence() const;
  void PaintRows(const RowsToShow& rows);
  // Formula row - 1 painted into the editor, the engine untouched.
  void PaintFormulaRow(int row);
  // Paints a beat step: the beat labels, the large label, the device lamp.
  void ShowBeat(const BeatCue& cue);
  // The window as a listener of the player: labels, rows, counter, the stop.
  void OnPlayerBeat(const BeatCue& cue);
  std::function<void(uint8_t)> BeatLampHook;
  // the device's beat lamp; nothing until the link exists
  std::function<void()> OnBeatMixed;  // after every beat mixed for the output (tests watch the sequence)
  std::array<QLabel*, 12> BeatLabels{};  // lb1..lb12
  QLabel* STT = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* TTiempo = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QPushButton *botonplay = nullptr, *BotonPlayComp = nullptr, *botonpausa = nullptr, *botonstop = nullptr,
              *botonstoptema = nullptr, *SpeedButton12 = nullptr;
  QAction *Action1 = nullptr, *Action2 = nullptr, *Action3 = nullptr, *UnificaPistas1 = nullptr;
  QTimer* Timer4 = nullptr;
  // WAV export and the waveform views.
  void BuildExportControls();
  void SpeedButton6Click();
  void SaveDialogWavFolderChange();
  void DrawWaveViews();
  void ClearWaveViews();
  QPushButton* SpeedButton6 = nullptr;
  QWidget* OndaL = nullptr;  // chart views of the beat that plays
  QWidget* OndaR = nullptr;
  QString WavInitialDir;
  QSlider* Nivel = nullptr;
  QSlider* tbvolumen = nullptr;
  QLineEdit* EdVol = nullptr;
  QLabel* IVolOn = nullptr;
  std::array<QPushButton*, 8> ClickPresetButtons{};  // SpeedButton3,4,5,7,2,8,9,10
  QRadioButton* Mono = nullptr;
  QRadioButton* Estereo = nullptr;

  // --- guitar panel: the track of the open theme, its views, navigation,
  // beat and bar menu and templates (guitar/window/) ---
  void BuildGuitarControls();
  void ConnectGuitarControls();
  void OpenGuitarPanel();
  void CloseGuitarPanel();
  void LimpiaTG();
  void BGuardaGClick();
  void ShowGuitarModified();  // BGuardaG shows the modified mark, its cover the rest
  void ShowMarkedBeats();     // the covers of the fill and template buttons follow MarkedBeats
  // The beat and bar menu (PopupMenu6).
  void CopiarTiempoGClick();
  void PegarTiempoGClick();
  void Insertartiempo1Click();
  void Vaciartiempo1Click();
  void Elminartiempo1Click();
  void CopiarCompasGClick();
  void PegarCompasGClick();
  void Insertarcompas1Click();
  void Vaciarcompas1Click();
  void Eliminarcompas1Click();
  void RecPlantillaClick();
  void AbrePlantillaClick();
  void CopiarGuitarra1Click();
  void PegarGuitarra1Click();
  // The beat view (Chart1) and the bar view (Chart2), and moving between them.
  void RefrescaTG();
  void RefrescaCG();
  void MiUDCompasClick();
  void MiUDTiemposClick();
  void MiUDCejillaClick();
  void SBCompasScroll();
  void SpeedButton13Click();
  void SpeedButton14Click();
  void SpeedButton17Click();
  void SpeedButton18Click();
  void SpeedButton21Click();
  void SpeedButton22Click();
  void SpeedButton11Click();
  void CBTabClick();
  QString Chart1GetAxisLabel(const QString& text, int value) const;
  QString Chart2GetAxisLabel(const QString& text, int value) const;
  void Chart2ClickBackground(Qt::MouseButton button, Qt::MouseButtons shift, int x, int y);
  void Chart2ClickSeries(Qt::MouseButton button, Qt::MouseButtons shift, int x, int y);
  void Chart1MouseMove();
  void Chart2KeyDown();
  void Chart2KeyPress();
  void ShowGuitarBarLabel();   // LGCompas
  void ShowGuitarBeatLabel();  // LGTiempo
  void SetGuitarScrollBar();   // SBCompas: range and position, without a scroll event
  void PlaceBeatMarker(float x);  // the two points of the beat marker on Chart2
  // The audition of the beat at the cursor.
  void PlayTiempoGClick();
  // --- the guitar's sound (guitar/window/form_guitar_sound.cpp) ---
  void BuildGuitarSoundControls();
  // One note at once: string 1..6, semitones above the open string.
  void PlayGuitarNote(int stringNumber, int semitones);
  // Loads a bank (its name Latin-1): the tuning shows in Label5, the chooser
  // shows the name, a string file that cannot be opened is said.
  void LoadGuitarBankNamed(const std::string& name);
  void CBGuitarrasChange();
  void VolGChange();
  void PanGChange();
  QSlider* VolG = nullptr;
  QSlider* PanG = nullptr;
  QLabel* Label5 = nullptr;
  std::function<void()> OnGuitarAudition;  // after every audition asked for (tests watch it)
  // Playback: the view follows the beat that starts (a listener of the
  // player), the cursor line runs across it, and a stop takes the cursor's beat again.
  void OnGuitarBeat(const BeatCue& cue);
  void GuitarCursorTick();
  void GuitarAfterStop();
  // The fretboard's marks follow the notes of the beat in play, division by
  // division at the divisions' frames (a single-shot timer armed for the next).
  void GuitarDivisionTick();
  void ShowPlayedDivision(int d);
  int GuitarTema = -1;        // the theme whose track is open, -1: none
  std::string GuitarSetName;  // the set that theme belongs to
  struct GuitarFollowState {
    int64_t BeatStartTick = 0;
    float CursorBeats = 0;
    float CursorOffset = 0;
    float Bpm = 120;
    bool Paused = false;
    // The fretboard's marks: the beat in play, the start of each division
    // in ms from the beat's start, the next division to show.
    TiempoG PlayedTiempoG{};
    std::array<float, kMaxDivisions> DivisionTimes{};
    int DivisionIndex = 0;
    int64_t DivisionStart = 0;  // tick count of the beat's start, moved on by pauses
    int64_t PausedAt = 0;
    bool DivisionPaused = false;
    int NextSamplesPerBeat = 0;  // of the beat mixed last, which plays next
  } GuitarFollow;
  QTimer* GuitarDivisionTimer = nullptr;
  TabChart* Chart1 = nullptr;
  TabChart* Chart2 = nullptr;
  QScrollBar* SBCompas = nullptr;
  QCheckBox* CBTab = nullptr;
  QLabel *LFGuitarra = nullptr, *LGCompas = nullptr, *LGTiempo = nullptr, *LGPartes = nullptr, *LGCejilla = nullptr;
  QLabel *Label44 = nullptr, *Label45 = nullptr, *Label48 = nullptr;
  QLabel *TapaRecG = nullptr, *TapaRellena = nullptr, *TapaRecPlantilla = nullptr;
  QPushButton *BGuardaG = nullptr, *RecPlantilla = nullptr, *AbrePlantilla = nullptr;
  QPushButton* GuitarStop = nullptr;  // the guitar panel's own stop
  QPushButton *SpeedButton11 = nullptr, *SpeedButton13 = nullptr, *SpeedButton14 = nullptr,
              *SpeedButton17 = nullptr, *SpeedButton18 = nullptr, *SpeedButton21 = nullptr, *SpeedButton22 = nullptr;
  QMenu* PopupMenu6 = nullptr;
  QAction *CopiarTiempoG = nullptr, *PegarTiempoG = nullptr, *Insertartiempo1 = nullptr, *Vaciartiempo1 = nullptr,
          *Elminartiempo1 = nullptr, *CopiarCompasG = nullptr, *PegarCompasG = nullptr, *Insertarcompas1 = nullptr,
          *Vaciarcompas1 = nullptr, *Eliminarcompas1 = nullptr;
  QAction *CopiarGuitarra1 = nullptr, *PegarGuitarra1 = nullptr;
  QTimer* GuitarCursorTimer = nullptr;

  // --- MIDI import into the guitar track (guitar/window/form_guitar_midi.cpp) ---
  void BuildGuitarMidiControls();  // the import button and its unit menu, connected
  void SpeedButton24Click();       // imports a MIDI file into the open theme's track
  void ResetMidiImport();          // the panel opened or closed: the next import starts afresh
  void CheckMidiUnitItem(uint16_t unit);  // the check mark of the unit menu, none for other units
  std::shared_ptr<struct MidiImportSession> MidiImport;
  // Shows the unit menu before a re-import and returns once it has closed;
  // unset, PopupMenu8 runs at `at` (screen coordinates). Tests answer it.
  std::function<void(const QPoint& at)> RunMidiUnitMenu;
  QPushButton* SpeedButton24 = nullptr;
  QMenu* PopupMenu8 = nullptr;
  QAction *MIDIinfo1 = nullptr, *ForzarUnidad1 = nullptr, *Blanca1 = nullptr, *Negrap1 = nullptr, *Negra1 = nullptr,
          *Corcheap1 = nullptr, *Corchea1 = nullptr;
  // --- companion app link (links/window/form_phone.cpp) ---
  void BuildPhoneLink(Options& opts);  // keeps the announcer and the port for start-up
  void RegisterIosService();           // start-up: the TCP server and the announcement
  void NotifyPhoneDataSetOpened();     // the end of every data-set open
  void ReportPhoneLink();              // start-up, after the device: the link ready, or why it is not
  std::string PhoneListenError;        // why the server could not listen: "held", "other" (empty: it could)
  phone::DataSetFiles PhoneDataSetFiles() const;
  std::unique_ptr<ServiceAnnouncer> PhoneAnnouncer;
  bool PhoneNoDaemon = false;          // the announcement found no daemon
  std::unique_ptr<phone::PhoneLinkServer> PhoneServer;
  phone::PhoneServerMaker PhoneServerMaker;
  uint16_t PhonePort = phone::kPort;

  // --- hardware metronome link (app/window/form_device.cpp) ---
  // The link's panel, with this window's part of an identification's
  // outcome; the panel runs the identification's steps and Timer2's ticks.
  DevicePanel DevicePane{*Device, *Deck, DeviceSideOf(*this)};
  void BuildDeviceLink(Options& opts);  // the transports, Timer2, Timer5, the lamp
  void NSerieMetronomo();               // start-up: identification, run by IdentifyTimer
  void ApplyIdentifyOutcome(const IdentifyOutcome& o);
  void Timer5Timer();  // the lamp-off countdown's tick
  void LogPlain(const QString& line);   // a Visor line never taken as rich text
  // The chord list's refresh (CBAcordesCambia) at the end of the
  // identification; the guitar panel sets it.
  std::function<void()> ChordListRefresh;
  // The panel's timers under the names the window has always given them.
  QTimer*& Timer2 = DevicePane.Timer2;
  QTimer*& Timer5 = DevicePane.Timer5;
  QTimer*& IdentifyTimer = DevicePane.IdentifyTimer;
  // --- guitar editing: the chord panel with its fretboard, the division menu
  // of the tablature and the tablature's editor box (guitar/window/) ---
  void BuildGuitarEditControls();
  QLabel* ImCejilla = nullptr;  // the capo on the fretboard
  void ConnectGuitarEditControls();
  ChordState Chords;        // the chord grid's cells, ChordBuffer and the finger marks
  TabEditor Editor;         // EdFTraste, STCtrl and the selected division
  UndoRingG DivisionUndo;   // the undo ring of the division menu
  // The chord grid.
  void SGAcordesCambiaCell(int row);
  void ShowChordRow(int row);  // grid row 1..6 from Chords
  void ShowChordGrid();        // every row and the finger marks
  void ShowFingerMarks();
  void SGAcordesSetEditText(int col, int row, const QString& text);
  void SGAcordesSelectCell(int col, int row);
  void CBModoChange();
  void ChordLanguageChanged();  // the mode captions follow the language
  // The fretboard and the whole-chord controls.
  void MGuitarraMouseDown(Qt::MouseButton button, int x, int y);
  void MGuitarraMouseMove(int x, int y);
  void TBRetardoChange();
  void TBFuerzaChange();
  void BInvertirClick();
  // Chord files.
  void BGuardaAcordeClick();
  void CBAcordesSelect();
  void CBAcordesCambia();
  // Chord and tablature.
  void SpeedButton15Click();
  void SpeedButton16Click();
  void RellenaAcordeClick();
  // The division menu (PopupMenu7).
  void Copiar1Click();
  void Pegar1Click();
  void Vaciar1Click();
  void Invertirretardo1Click();
  void Deshacer1Click();
  // The editor box.
  void Chart1MouseDown(Qt::MouseButton button, Qt::MouseButtons shift, int x, int y);
  void EdFTrasteKeyDown(int key, bool ctrl, bool alt);
  void EdFTrasteKeyUp(int key);
  void EdFTrastePon();
  void HideEditBox();
  void ApplyEditEffect(const EditEffect& e);
  void SpeedButton19Click();
  void SpeedButton20Click();
  void MiUDDivisionesClick(int oldCount, int newCount);
  EditContext GuitarEditContext();
  StringGrid* SGAcordes = nullptr;
  QComboBox *CBModo = nullptr, *CBAcordes = nullptr;
  FretboardPicture* MGuitarra = nullptr;
  std::array<QLabel*, 6> StringNoteLabels{};  // NotaC6 .. NotaC1
  QSlider *TBRetardo = nullptr, *TBFuerza = nullptr;
  QLabel* Label31 = nullptr;
  QPushButton *BInvertir = nullptr, *BGuardaAcorde = nullptr, *SpeedButton15 = nullptr, *SpeedButton16 = nullptr,
              *RellenaAcorde = nullptr, *SpeedButton19 = nullptr, *SpeedButton20 = nullptr;
  EditorBox* EdFTraste = nullptr;
  QLabel* STCtrl = nullptr;
  QMenu* PopupMenu7 = nullptr;
  QAction *Copiar1 = nullptr, *Pegar1 = nullptr, *Invertirretardo1 = nullptr, *Vaciar1 = nullptr,
          *Deshacer1 = nullptr;

  // --- tuner panel (app/window/form_tuner.cpp) ---
  // The reading, the listening and the tick are the panel's; the needle
  // chart, the source buttons and the diagnostics are this window's.
  TunerPanel TunerPane{*Work->Tuner, *Device, TunerSide()};
  TunerPanel::WindowSide TunerSide();
  void BuildTunerControls();
  // Stops playback, empties the reading, forces the microphone unless the
  // device can be the input, queues the input's buffers and starts Timer3.
  void StartTunerInput();
  // The 10 ms tick: the frame hold, one needle step, a wave block, the
  // reading's hold; a pending stop ends the tuner here.
  void Timer3Timer();
  // The tuner's part of the device poll (DeviceState 220): a microphone
  // block, then every byte the device sent, framed apart from the microphone's.
  void TakeTunerBlock();
  void FeedTunerDeviceBytes(const uint8_t* bytes, size_t n);
  // Whether the device can be the tuner's input (the identity says so);
  // otherwise the microphone is forced and RBMetro disabled.
  std::function<bool()> TunerDeviceAvailable;
  void ShowTunerReading(const TunerReading& r);
  void PlotTunerFrame(const FrameAssembler& a);
  void ShowTunerDiagnostics();
  double TunerNeedleX() const;
  QWidget* Chart3 = nullptr;     // the needle
  QWidget* Oscilata3 = nullptr;  // the frame's waveform
  // The panel's parts under the names the window has always given them.
  std::unique_ptr<TunerMicInput>& TunerMic = TunerPane.TunerMic;
  bool &TunerStopRequest = TunerPane.TunerStopRequest, &TunerListening = TunerPane.TunerListening;
  QTimer*& Timer3 = TunerPane.Timer3;
  QLabel *&STFrec = TunerPane.STFrec, *&STFrecBase = TunerPane.STFrecBase, *&STNota = TunerPane.STNota,
         *&STNotaEsp = TunerPane.STNotaEsp, *&STCuerda = TunerPane.STCuerda, *&STMasmenos = TunerPane.STMasmenos,
         *&STTraste = TunerPane.STTraste, *&Lcuerda = TunerPane.Lcuerda, *&Ltraste = TunerPane.Ltraste,
         *&Lnota = TunerPane.Lnota;
  QLabel*& Dedo = TunerPane.Dedo;  // the finger marker on the guitar panel's fretboard
  QLabel *Label20 = nullptr, *Label12 = nullptr;  // hidden: the strongest bin, the peaks and the gap

  // --- engine hooks used by the data-set commands ---
  void Stop1Click();
  // The window shows the transport stopped; a theme's grid follows its rewind.
  void ShowStopped(bool wasTheme);
  void Normalizar1Click();

  // --- language switch, help menu and about box ---
  // (app/language.cpp, app/shell_menus.cpp, app/about.cpp)
  void Ingls1Click();
  void Espaol1Click();
  void SwitchLanguage(bool english);  // the body of both switches
  // The texts the handlers wrote in the language then in force, written
  // again in the language now in force.
  void ShowRunTimeTexts();
  // Start-up: runs the switch that the "Idioma" setting names (by its item).
  void SwitchLanguageFromSettings();
  void Acercade1Click();
  void ActualizarBORNACEPELN1Click();
  void Ayuda1Click();
  void BuildShellMenus();   // fills "Idiomas" and "Ayuda", creates the shell's actions
  void ConnectShell();
  void CreateAboutBox();    // the program entry, right after FormCreate
  void LoadPanelPictures(); // Image1, Image2 (metronome panel), Image9 (guitar panel)
  bool RunFileAction(QAction* action);    // opens its "fileName" from the working folder
  void OpenManual();  // F1 and "Ayuda": the manual, or a message saying where it was looked for
  bool BrowseUrlAction(QAction* action);  // opens its "url" in the web browser
  QAction *Espaol1 = nullptr, *Ingls1 = nullptr;
  QAction *ManualBORNACEPELN1 = nullptr, *ActualizarBORNACEPELN1 = nullptr, *Acercade1 = nullptr;
  QAction *ManualPC = nullptr, *BUActualizar = nullptr, *MakerSiteAction = nullptr, *ProductSiteAction = nullptr,
          *SecondSiteAction = nullptr;
  std::shared_ptr<class TAcercade> Acercade;  // null until created
  std::shared_ptr<class Desktop> desktop;     // the desktop's open operation

  // --- state (owned here, passed to the logic) ---
  FormulaEditorState FormulaEd;
  GuardFlags Guards;
  bool English = false;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<SettingsIni> SettingsIniFile;
  QString& SaveAsInitialDir = DataSetPane.SaveAsInitialDir;
  std::string soundListToldLong_;  // the list whose length was already told

  // --- widgets, by their component names ---
  QScrollArea* DeskScroll = nullptr;  // the desk scrolls on screens smaller than its panels
  QWidget* Desk = nullptr;
  QGroupBox* PanelMetronomo = nullptr;
  QGroupBox* PanelTemas = nullptr;
  QGroupBox* PanelFormulas = nullptr;
  QGroupBox* PanelPistas = nullptr;
  QFrame* PanelOnda = nullptr;
  QGroupBox* PanelSonidos = nullptr;
  QGroupBox* PanelAfinador = nullptr;
  QGroupBox* PanelGuitarra = nullptr;
  QLabel *StaticText4 = nullptr, *StaticText6 = nullptr, *StaticText8 = nullptr, *Label36 = nullptr,
         *StaticText9 = nullptr, *StaticText10 = nullptr, *StaticText11 = nullptr, *StaticText7 = nullptr;

  QMenu *File = nullptr, *Ver1 = nullptr, *Idiomas1 = nullptr, *Ayuda1 = nullptr;
  QAction *Original1 = nullptr, *Nuevo1 = nullptr, *Deshacertodo1 = nullptr, *Abrir2 = nullptr,
          *ImportarTEMA1 = nullptr, *ImportarPELNv1 = nullptr, *Guardar1 = nullptr, *Guardarcomo1 = nullptr,
          *Salir1 = nullptr, *Normalizar1 = nullptr;
  QAction *Metrnomo1 = nullptr, *Temas1 = nullptr, *Frmulas1 = nullptr, *Pistas1 = nullptr, *Onda1 = nullptr,
          *Sonidos1 = nullptr, *Afinador1 = nullptr, *Guitarra1 = nullptr;
  QAction *Nuevafrmula1 = nullptr, *Copiarfrmula1 = nullptr, *Pegarfrmula1 = nullptr, *Limpiarfrmula1 = nullptr,
          *Nuevotema1 = nullptr;

  StringGrid* SGFormulas = nullptr;
  StringGrid* SGTemas = nullptr;
  StringGrid* SGSaco = nullptr;
  StringGrid* SGDatosFormula = nullptr;
  QPushButton* botonrec = nullptr;
  QPushButton* TapaRec = nullptr;  // botonrec shown disabled: nothing to save
  QTextEdit* Visor = nullptr;
  QSlider* TB1 = nullptr;
  QSlider* TB2 = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label21 = nullptr;
  QTimer* Timer1 = nullptr;

  // Controls shared by the editors and the mixer (handlers in their subsystems).
  QLineEdit* Edit1 = nullptr;          // typed formula tempo
  QLabel* Label8 = nullptr;            // tempo text of the beat
  QLabel* Label22 = nullptr;           // formula length
  QLabel* Label30 = nullptr;           // milliseconds per beat
  QComboBox* CBMetro = nullptr;        // click sound
  QComboBox* CBSonidos = nullptr;      // sound chooser over the pattern grid
  std::array<QSlider*, 16> TBPan{};    // TBPan1..TBPan16
  std::array<QSlider*, 16> TBVol{};    // TBVol1..TBVol16
  std::array<QPushButton*, 17> MuteButtons{};  // Mute1..Mute16, MuteG
  std::array<QPushButton*, 17> SoloButtons{};  // Solo1..Solo16, SoloG
  std::array<QCheckBox*, 12> AccentBoxes{};    // CheckBox1..CheckBox12
  QRadioButton* RBTiempo = nullptr;
  QRadioButton* RBAcento = nullptr;
  QCheckBox* LasNotas = nullptr;

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;
  void closeEvent(QCloseEvent* e) override;

 public:
  // Fitting the layout to the font (app/window/fit_layout.cpp): every text of
  // both languages shows whole; the desk grows to hold every panel.
  void FitLayout();
  void UpdateDeskSize();
  // The pattern grid's beat columns, its width, the panel's and the accent boxes'.
  void LayoutPatternGrid(int beats);
  // Label21 beside the sounds panel's caption (both show the set's name);
  // the panel widens for a long name.
  void PlaceSetNameLabel();
  void PlaceFormulaToAdd(const QStringList& texts);  // Label25, clear of the export's captions

  // The desk's arrangement (app/window/desk_layout.cpp): a panel that opens
  // takes the first free room in reading order, a panel the user moved
  // stays where it was put (the settings keep its place).
  QList<QWidget*> DeskPanels() const;
  void PrepareDesk();                     // after the fitting: layout places, remembered places
  void PlaceOpenedPanel(QWidget* panel);  // a panel just shown
  void KeepPanelsApart(QWidget* grown);   // a panel grew: the ones it now covers move on
  void RememberPanelPlace(QWidget* panel);
  void GiveGridRoom(StringGrid* grid);    // the grid as wide as its columns, its panel with it
  int DeskWidth() const;                  // the desk's visible width
  QLabel* LabelOnda = nullptr;            // the wave panel's caption

 private:
  void BuildLayout();   // app/window/layout.cpp
  void BuildMenus();    // app/window/layout.cpp
  void ConnectHandlers();
  struct DragState {
    QWidget* panel;
    QPoint origin;
    bool moved = false;  // this press has moved the panel
  };
  std::vector<DragState> drags_;
  std::string commandLineSet_;
};
