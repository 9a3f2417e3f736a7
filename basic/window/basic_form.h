// The basic edition's main window: one page control with the metronome, the
// tuner and the sounds, an 8-track stereo chart and the device link.
// The handlers live in basic_*.cpp (shell, layout, chart, tuner, device)
// and form_*_basic.cpp (the metronome and sounds pages, the data-set
// commands, the transfer, the theme import).
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window/window_devices.h"
#include "app/workspace.h"
#include "basic/basic_set.h"
#include "basic/transfer.h"
#include "engine/follow.h"
#include "engine/sequencer.h"
#include "links/device.h"
#include "engine/window/sounds_panel.h"
#include "links/window/device_panel.h"
#include "platform/audio/sound_play.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out.h"
#include "platform/hid/hid_device.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialogs.h"
#include "rhythm/editor_state.h"
#include "rhythm/window/dataset_panel.h"
#include "tuner/tuner_input.h"
#include "tuner/window/tuner_panel.h"

class QAction;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPainter;
class QPieSeries;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTextEdit;
class QTimer;
class QWidget;
class SettingsIni;
class StringGrid;
struct EditorRules;

namespace bornace {

class TFormImportar;

// The basic edition's state of the program: 22050 Hz, 8 tracks, 16 sounds,
// the basic device rules.
EditionFormat BasicEdition();

// The state under the window and the short names of its parts are the
// WorkspaceParts' (app/workspace.h), built for the basic edition.
class TMainForm : public QMainWindow, public WorkspaceParts {
  Q_OBJECT
 public:
  struct Options : WindowDevices {
    QString iniPath = "vididoru.ini";
    QString commandLineSet;            // an .ole named on the command line
    std::unique_ptr<Desktop> desktop;  // null: the desktop's own open
  };
  explicit TMainForm(Options opts, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The set's sounds as the device stores them, and the meter of its memory.
  SoundsV1 SoundMemory;

  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<SettingsIni> SettingsIniFile;
  std::unique_ptr<audio::WaveOut> WaveOut;
  std::unique_ptr<audio::WaveIn> WaveIn;
  std::unique_ptr<Desktop> desktop;
  bool English = false;
  QString Tr(const char* spanish, const char* english) const {
    return English ? QString::fromUtf8(english) : QString::fromUtf8(spanish);
  }
  void Log(const QString& line);
  void LogPlain(const QString& line);

  // --- Page control and pages (basic_layout.cpp) -------------------------------
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;  // "Metrónomo"
  QWidget* TabSheet2 = nullptr;  // "Afinador"
  QWidget* TabSheet3 = nullptr;  // "Sonidos"

  // Fits the controls to the texts of both languages in the fonts at hand,
  // puts each page's controls on a scrolled sheet and sizes the page control.
  void FitBasicLayout();
  void SizePageControl();  // as large as its largest page
  // The page control as large as its pages, within the window's client area.
  void FitPageControl();
  QSize PageControlDesignSize;

  // Metrónomo: the theme group.
  QGroupBox* GroupBox3 = nullptr;  // "Temas"
  StringGrid* SGTemas = nullptr;   // number, name, BPM
  StringGrid* SGSaco = nullptr;    // compás, BPM, name, number, times, acceleration
  QRadioButton* RadioButton1 = nullptr;  // "Normal"
  QRadioButton* RadioButton2 = nullptr;  // "Aleatoria"
  QLineEdit* Partes = nullptr;
  QLineEdit* Intro = nullptr;
  QLineEdit* Fin = nullptr;
  QSlider* TB1 = nullptr;  // theme tempo, 420 - bpm
  QLabel* Label2 = nullptr;   // "Tema n: name"
  QLabel* Label3 = nullptr;   // compás counter
  QLabel* Label8 = nullptr;   // bpm text
  QLabel* Label25 = nullptr;  // the formula to add
  QLabel* TTiempo = nullptr;  // elapsed time
  QPushButton* BotonPoneAntes = nullptr;
  QPushButton* BotonPoneDespues = nullptr;
  QPushButton* BotonQuita = nullptr;
  QPushButton* BotonPlayComp = nullptr;
  QPushButton* botonpausa = nullptr;
  QPushButton* botonstoptema = nullptr;
  QPushButton* SpeedButton6 = nullptr;  // "Guardar como WAV"
  QPushButton* menostema = nullptr;
  QPushButton* mastema = nullptr;
  QLineEdit* LabeledEdit1 = nullptr;  // theme search

  // Metrónomo: the formula group.
  QGroupBox* GroupBox2 = nullptr;  // "Fórmulas"
  StringGrid* SGFormulas = nullptr;
  StringGrid* SGDatosFormula = nullptr;  // 8 track rows
  QLabel* Label1 = nullptr;   // "Fórmula %d"
  QLabel* Label7 = nullptr;   // formula name
  QLabel* Label14 = nullptr;  // where the formula is used
  QLabel* Label22 = nullptr;  // the formula's length
  QComboBox* CBSonidos = nullptr;
  std::array<QCheckBox*, 12> AccentBoxes{};
  QRadioButton* RBTiempo = nullptr;
  QRadioButton* RBAcento = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* oscilata = nullptr;  // the wave picture of the beat
  QCheckBox* cb3d = nullptr;   // "Estéreo"
  QLineEdit* Edit3 = nullptr;  // formula search
  QPushButton* botonplay = nullptr;
  QPushButton* botonstop = nullptr;

  // Metrónomo: the panel of lamps, save, transfer, log, volume and click.
  std::array<QLabel*, 12> BeatLabels{};  // lb1..lb12
  QPushButton* botonrec = nullptr;  // "Guardar todo"
  QPushButton* BEnvia = nullptr;
  QTextEdit* Visor = nullptr;
  QSlider* tbvolumen = nullptr;
  QGroupBox* GroupBox1 = nullptr;  // "Metrónomo"
  QComboBox* CBMetro = nullptr;
  QSlider* TB2 = nullptr;  // formula tempo, 420 - bpm
  QLineEdit* Edit1 = nullptr;
  QSlider* Nivel = nullptr;
  QPushButton *SpeedButton2 = nullptr, *SpeedButton3 = nullptr, *SpeedButton4 = nullptr, *SpeedButton5 = nullptr,
              *SpeedButton7 = nullptr, *SpeedButton8 = nullptr, *SpeedButton9 = nullptr, *SpeedButton10 = nullptr;

  // Afinador: the reading, the listening and the tick are the tuner panel's;
  // the fretboard, the needle and the level bar are this page's.
  TunerPanel TunerPane{*Work->Tuner, *Device, TunerSide()};
  TunerPanel::WindowSide TunerSide();
  QGroupBox* Mastil = nullptr;
  QLabel* Image7 = nullptr;  // the fretboard picture
  QGroupBox* Afinador = nullptr;
  QLabel* Aguja = nullptr;   // the needle
  QProgressBar* ProgressBar2 = nullptr;  // the input level
  // The panel's parts under the names the page has always given them.
  QLabel *&STNota = TunerPane.STNota, *&STNotaEsp = TunerPane.STNotaEsp, *&STCuerda = TunerPane.STCuerda,
         *&STTraste = TunerPane.STTraste, *&STFrec = TunerPane.STFrec, *&STFrecBase = TunerPane.STFrecBase,
         *&STMasmenos = TunerPane.STMasmenos, *&Lnota = TunerPane.Lnota, *&Lcuerda = TunerPane.Lcuerda,
         *&Ltraste = TunerPane.Ltraste;
  QLabel*& Dedo = TunerPane.Dedo;  // the finger marker
  QTimer*& Timer3 = TunerPane.Timer3;  // the tuner's 10 ms tick
  bool &TunerListening = TunerPane.TunerListening, &TunerStopRequest = TunerPane.TunerStopRequest;
  std::unique_ptr<TunerMicInput>& TunerMic = TunerPane.TunerMic;

  // Sonidos: the set's list and the library of its folder are the sounds
  // panel's (engine/window/sounds_panel.h); the list commands change the
  // list in memory, the data-set save writes it. The meter of the device's
  // memory is this page's.
  SoundsPanel SoundsPane{*Bank, *Rhythm, *Deck, *Engine, DataSet, BasicSoundsRules(), SoundsSide()};
  static SoundsRules BasicSoundsRules();
  SoundsPanel::WindowSide SoundsSide();
  QGroupBox* GB1 = nullptr;  // the set's name
  QLabel* Label21 = nullptr;
  QProgressBar* EnUso = nullptr;  // 0..100
  // The panel's parts under the names the page has always given them.
  QListWidget *&LBwavs = SoundsPane.LBwavs, *&LBIns = SoundsPane.LBIns;
  QLabel*& Label15 = SoundsPane.Label15;  // "Usado (..%)"
  QPushButton*& SpeedButton1 = SoundsPane.SpeedButton1;  // preview
  std::vector<std::string>& SoundList = SoundsPane.SoundList;  // the lines of LBIns

  // --- Stereo chart (floating over the window, basic_chart.cpp) -------------
  QChartView* Chart1 = nullptr;
  QChart* Chart1Chart = nullptr;
  QPieSeries* Series1 = nullptr;
  QSpinBox* UpDown1 = nullptr;  // 0..7, horizontal arrows
  QPoint DragOrigin;

  // --- Menus -----------------------------------------------------------------
  QMenu* File = nullptr;  // "Archivo"
  QAction *Nuevo1 = nullptr, *Abrir2 = nullptr, *ImportarTEMA1 = nullptr, *Guardar1 = nullptr,
          *Guardarcomo1 = nullptr, *Original1 = nullptr, *Deshacertodo1 = nullptr, *Salir1 = nullptr;
  QAction* Recibir1 = nullptr;  // "Recibir datos del Metrónomo"
  QMenu* PlayStop1 = nullptr;  // "Play/Stop"
  QAction *P1 = nullptr, *PlayFrmula1 = nullptr, *Stop1 = nullptr;
  QMenu* Afinar1 = nullptr;
  QAction* Afinar2 = nullptr;
  QMenu* Idiomas1 = nullptr;
  QAction *Espaol1 = nullptr, *Ingls1 = nullptr;
  QMenu* Ayuda1 = nullptr;
  QMenu* Ayuda2 = nullptr;  // "Manuales"
  QAction *ManualBORNACEPELN1 = nullptr, *Velarto1 = nullptr, *GuaRpidadelPELN1 = nullptr;
  QAction *ActualizarBORNACEPELN1 = nullptr, *Acercade1 = nullptr;
  // File-run actions: the manual, the device manual, the quick guide, the notation.
  QAction *ManualPC = nullptr, *PELN = nullptr, *guiarapida = nullptr, *Notacion = nullptr;
  // Pop-up menus of the grids and lists, hidden commands.
  QAction *Nuevafrmula1 = nullptr, *Copiarfrmula1 = nullptr, *Pegarfrmula1 = nullptr, *Limpiarfrmula1 = nullptr,
          *Borrarfrmula1 = nullptr, *Ordenarpornombre2 = nullptr;
  QAction *Copiarpista1 = nullptr, *Pegarpista1 = nullptr, *Limpiarpista1 = nullptr, *Copiartiempo1 = nullptr,
          *Pegartiempo1 = nullptr, *Limpiartiempo1 = nullptr, *Moveralaizquierda1 = nullptr,
          *Moveraladerecha1 = nullptr;
  QAction *Nuevotema1 = nullptr, *Copiartema1 = nullptr, *Pegartema1 = nullptr, *Limpiartema1 = nullptr,
          *Borrartema1 = nullptr, *Ordenarpornombre1 = nullptr, *Normalizar1 = nullptr;
  QAction *Action1 = nullptr, *Action3 = nullptr;
  QMenu *&PopupMenu4 = SoundsPane.PopupMenu4, *&PopupMenu3 = SoundsPane.PopupMenu3;
  QAction *&Aadir1 = SoundsPane.Aadir1, *&Eliminar1 = SoundsPane.Eliminar1, *&Arriba1 = SoundsPane.Arriba1,
          *&Bajar1 = SoundsPane.Bajar1, *&Cambiar1 = SoundsPane.Cambiar1;

  QTimer* Timer1 = nullptr;  // the beat step, 1 ms
  QTimer* Timer4 = nullptr;  // the elapsed time

  // --- Shell (basic_shell.cpp) -------------------------------------------------
  void FormCreate();
  // The shutdown; true: the window closes (the basic edition never keeps it open).
  bool FormClose();
  bool FormClosed = false;
  void Salir1Click();
  void Espaol1Click();
  void Ingls1Click();
  void SetLanguage(bool english);
  // The texts the handlers wrote in the language then in force, written
  // again in the language now in force.
  void ShowRunTimeTexts();
  void Ayuda1Click();
  void ActualizarBORNACEPELN1Click();
  void Acercade1Click();
  // The about box (a TAcercade, basic_about.h), made once after the start-up.
  void CreateAboutBox();
  QDialog* Acercade = nullptr;
  std::function<void(QDialog*)> AboutBoxHook;  // tests look at the box instead of running it
  // Browse actions: the update page (its address set by the language
  // switch), and the maker's, the product's and a second site, run by the
  // about box.
  QAction *BUActualizar = nullptr, *MakerSiteAction = nullptr, *ProductSiteAction = nullptr,
          *SecondSiteAction = nullptr;
  bool BrowseUrlAction(QAction* action);
  // A file-run action: its file in the working folder, opened by the desktop.
  void RunFileAction(QAction* action);
  std::vector<std::string> StartupSteps;  // the start-up steps in the order they ran
  QString OlePath;
  void BuildShellActions();
  void PreparePictures();
  void OpenWaveOutput();
  bool OpenWaveInput();
  void CloseWaveOutput();
  void OnBufferDone();
  std::atomic<bool> WaveInReady{false};
  bool WaveOutReported = false;  // an output that could not be opened was reported

  // --- Chart and window handlers (basic_chart.cpp) ------------------------------
  void cb3dClick();
  void UpDown1Click(int newPosition);
  void Chart1ClickSeries(int sliceIndex);
  void Chart1MouseDown(QPoint globalPos);
  void Chart1MouseMove(QPoint globalPos, bool leftDown);
  void KeepChartInside();
  void SelectTrackCell(int row);
  void Chart1Click() {}
  void Chart1EndDrag() {}
  void Afinar2Click();
  void FormResize();
  void FormActivate() { FormResize(); }

  // --- Tuner page (basic_tuner.cpp) -----------------------------------------------
  void PageControl1Change();
  void BuildTunerPage();
  void Timer3Timer();
  void StartTunerInput();
  // Stops the tuner at once (shutdown, transfer); leaving the page only asks
  // the next tick to stop it.
  void StopTunerInput();
  // Listening, and no stop asked for.
  bool TunerRunning() const;
  int TunerStarts = 0;  // how often the input was started (tests)
  int NeedleTarget = kNeedleCentreLeft;  // the needle's target Left
  QWidget* Oscilata3 = nullptr;  // the waveform of the last frame
  // The pen of the fretboard picture Image7 (its picture is its pixmap).
  QColor FretboardPen;
  int FretboardPenWidth = 2;
  void ClearFretboard();
  // The tick's polling loop: whether a frame was taken, the bytes framed so
  // far (its progress) and the polls of the last loop (tests).
  bool TunerFrameTaken = false;
  long TunerBytesFramed = 0;
  int TunerLoopPolls = 0;
  void TakeTunerBlock();
  void FeedTunerDeviceByte(uint8_t b);
  void TunerFrameDone(const FrameAssembler& a, FrameOutcome o);
  void ShowTunerReading(const TunerReading& r);
  bool StepNeedle();
  void TunerDeviceRead();

  // --- Device link (basic_device.cpp) ---------------------------------------------
  // The link's panel under the basic edition's outcome of an identification.
  // The panel runs the identification's steps and the lamp-off countdown.
  DevicePanel DevicePane{*Device, *Deck, DeviceSideOf(*this)};
  void BuildDeviceLink(Options& opts);
  void ApplyIdentifyOutcome(const IdentifyOutcome& o);
  void NSerieMetronomo();
  void Timer2Timer();  // the wait counter's tick
  QTimer*& Timer2 = DevicePane.Timer2;  // 500 ms: the device's wait counter
  QTimer*& Timer5 = DevicePane.Timer5;  // 10 ms: the lamp-off countdown
  QTimer*& IdentifyTimer = DevicePane.IdentifyTimer;

  // --- Metrónomo and Sonidos pages, data set and transfer (form_*_basic.cpp) ---
  // The editors' state (the same types as the professional window's) and
  // the library's clipboards, under the one name the page handlers use.
  struct PagesState : FormulaEditorState, GuardFlags {
    int ThemeClipboard = 0;
    TrackClipboardState TrackClipboard;
    BeatClipboardState BeatClipboard;
  } Pages;
  void ConnectPages();
  // Formula and track editor.
  // The counts of the tables (the grids show them).
  int FormulaCount() const;
  int TemaCount() const;
  int EditedFormula() const;
  int EditedTema() const;
  int CommandFormula() const;
  void FillFormulaRow(int i);
  void RefillFormulaRows();
  void FillTemaRow(int m);
  void RefillTemaRows();
  void LayoutPatternGrid(int beats);
  void ShowFormulaLength(int beats);
  void SGFormulasSelectCell(int col, int row);
  // Formula row - 1 painted into the editor, the engine untouched.
  void PaintFormulaRow(int row);
  void FormulaRowPainted();
  void SGFormulasSetEditText(int col, int row, const QString& value);
  void SGFormulasExit();
  void SGFormulasClick();
  void SGFormulasDrawCell(QPainter* p, int col, int row, const QRect& rect);
  void SGDatosFormulaSelectCell(int col, int row);
  void SGDatosFormulaSetEditText(int col, int row, const QString& value);
  void SGDatosFormulaDrawCell(QPainter* p, int col, int row, const QRect& rect);
  void CBSonidosChange(int index);
  void CheckBox1Click();
  void RBTiempoClick();
  void RBAcentoClick();
  // Theme editor.
  void SGTemasSelectCell(int col, int row);
  void SGTemasDrawCell(QPainter* p, int col, int row, const QRect& rect);
  void SGSacoDrawCell(QPainter* p, int col, int row, const QRect& rect);
  void FillSequenceGrid(int t);
  void SGSacoSelectCell(int col, int row);
  void SGSacoSetEditText(int col, int row, const QString& value);
  void BotonPoneAntesClick();
  void BotonPoneDespuesClick();
  void BotonQuitaClick();
  void SGTemasSetEditText(int col, int row, const QString& value);
  void PartesChange();
  void IntroChange();
  void FinChange();
  void RadioButton1Click();
  // Library commands.
  void Nuevafrmula1Click();
  void Copiarfrmula1Click();
  void Pegarfrmula1Click();
  void Limpiarfrmula1Click();
  void Copiarpista1Click();
  void Pegarpista1Click();
  void Limpiarpista1Click();
  void Copiartiempo1Click();
  void Pegartiempo1Click();
  void Limpiartiempo1Click();
  void Moveralaizquierda1Click();
  void Moveraladerecha1Click();
  void Edit3Change();
  void OrdenarClick();
  void Borrarfrmula1Click();
  void Nuevotema1Click();
  void Copiartema1Click();
  void Pegartema1Click();
  void Limpiartema1Click();
  void Borrartema1Click();
  void Ordenarpornombre1Click();
  void LabeledEdit1Change();
  void menostemaClick();
  void mastemaClick();
  // Transport, tempo, click, normalisation, export.
  void ShowCompasCounter();
  void ShowEntryRow(int row);
  // What the sequence grid shows, and the paint of the rows the player shows.
  SequenceView ShownSequence() const;
  void PaintRows(const RowsToShow& rows);
  void ShowBeat(const BeatCue& cue);
  int TempoInForce(int t, int row) const;
  void Timer1Timer();
  // A play start: Timer1's 1 ms tick runs the beat step from now on.
  void StartBeatStep();
  void OnPlayerBeat(const BeatCue& cue);
  void BotonPlayCompClick();
  void botonplayClick();
  void botonpausaClick();
  void Stop1Click();
  // The window shows the transport stopped; a theme's grid on its first row.
  void ShowStopped(bool wasTheme);
  void botonstopClick();
  void Timer4Timer();
  void DrawOscilata();
  void TB1Change();
  void TB2Change();
  void Edit1Change();
  void ClickPresetClick(char code);
  void CBMetroChange(int index);
  void NivelChange();
  void tbvolumenChange();
  void NormalizarTema(int t);
  void Normalizar1Click();
  void SpeedButton6Click();
  std::function<void(const BeatCue&)> BeatLampHook;  // the device's beat lamp
  std::function<void()> LampOffHook;                 // the stop buttons' lamp-off
  std::function<void()> OnBeatMixed;                 // tests watch the beats
  // Sounds page: the choosers follow the list.
  void FillSoundChoosers();
  std::unique_ptr<audio::SoundPlayer>& SoundPreview = SoundsPane.SoundPreview;
  QPoint& PopupMenu3Point = SoundsPane.PopupMenu3Point;  // where the list's menu was last opened
  // Data set.
  void Cambios();
  void ClearModified();
  bool Modified() const;
  void ShowDataSetName();
  void FillLibrary();
  void Abrir2Click();
  bool OpenDataSet();
  void AbreSonidos();
  void ShowSoundMeter(bool warn);
  QString SoundsTooLongMessage() const;
  void botonrecClick();
  bool SaveDataSet();
  void Guardar1Click();
  void Guardarcomo1Click();
  void Nuevo1Click();
  void Original1Click();
  void Deshacertodo1Click();
  bool SaveBeforeLeaving();
  // The dialogs, the question, the save as, the reports and the undo are the
  // data-set panel's (rhythm/window/dataset_panel.h).
  DataSetPanel DataSetPane{DataSet, *Rhythm, EditionDataSetRules(), DataSetSide()};
  static DataSetRules EditionDataSetRules();
  DataSetPanel::WindowSide DataSetSide();
  QString& SaveAsInitialDir = DataSetPane.SaveAsInitialDir;
  bool SaveWriteFailed = false;  // the last save's files could not be written
  // Transfer.
  TransferIo MakeTransferIo();
  void StopForTransfer();
  void BEnviaClick();
  void BRecibeClick();
  void BuildTransferControls();
  bool TransferRunning = false;
  // Theme import.
  void CreateImportDialog();  // once, at the first import
  void ImportarTEMA1Click();
  bool ImportarTema(int a);
  TFormImportar* FormImportar = nullptr;

  // --- Editors' additions (form_editors_basic.cpp, form_formulas_basic.cpp,
  //     form_temas_basic.cpp, form_library_basic.cpp) ---------------------------
  // The older records' limits that the editors keep: 8 tracks, names of 5
  // and 14 characters, 16 sounds, 2-bit strokes, no entry tempos, at most
  // 99 repetitions.
  static const EditorRules EditRules;
  // The count buttons' modified mark, shown directly.
  void ShowModifiedMark();
  // The editor grids' owner drawing and cell editors, and the formula grid's
  // keys, mouse moves and exit.
  void ConnectEditors();
  void SGFormulasKeyDown();
  void SGFormulasMouseMove();
  // The stereo chart follows the selected track row (its position control
  // set without running its arrow handler), redrawn when "Estéreo" is on.
  void FollowTrackInChart(int row);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildLayout();  // basic_layout.cpp
  void BuildMenus();   // basic_layout.cpp
  void BuildChart();   // basic_chart.cpp
  void ConnectShell(); // basic_shell.cpp
  std::string commandLineSet_;
};

}  // namespace bornace
