// The main window: one class whose handlers are defined in files by subsystem
// (app/ for the shell, rhythm/form_*.cpp for the rhythm library, ...).
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sound_bank.h"
#include "platform/wave_out.h"
#include "platform/sound_play.h"
#include "platform/dialogs.h"
#include "rhythm/dataset.h"
#include "rhythm/records.h"

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
class QRadioButton;
class QSlider;
class QTextEdit;
class QTimer;
class QWidget;
class SettingsIni;
class StringGrid;

// Formula editor state shared with the theme editor. The beats and first beat
// of the formula in play (FormulaBeats, FormulaStartBeat) live in EngineState.
struct FormulaEditorState {
  int SelectedTrack = 0;
  int FormulaToAdd = 0;
  bool FormulaInUse = false;
  int FormulaClipboard = -1;
};

// Guards: a control's change handler stores nothing while the code that sets
// the control has its guard up.
struct GuardFlags {
  bool AccentChangeByCode = false;
  bool CountModeByCode = false;
  bool ThemeFieldsByCode = false;
  bool TrackbarsLoading = false;
  bool TempoSliderByCode = false;
  bool SkipFormulaClick = false;
  bool SkipEntrySelect = false;
  bool KeepEditedCells = false;
};

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  struct Options {
    std::unique_ptr<Dialogs> dialogs;   // null: real dialogs
    QString iniPath = "DRAV_PROF.ini";
    QString commandLineList;            // a .vl2 named on the command line
    std::unique_ptr<audio::WaveOut> waveOut;  // null: the default sound device
  };
  explicit TMainForm(Options opts);
  ~TMainForm() override;

  // --- start-up and shell (app/) ---
  void FormCreate();
  void Log(const QString& line);
  QString Tr(const char* spanish, const char* english) const { return English ? QString::fromUtf8(english) : QString::fromUtf8(spanish); }
  void TogglePanel(QWidget* panel, QAction* item, bool bringToFront);

  // --- data set on disk (rhythm/form_dataset.cpp) ---
  void Abrir2Click();
  void botonrecClick();
  void Guardar1Click();
  void Guardarcomo1Click();
  void SaveDialogPELNv2FolderChange();
  void Nuevo1Click();
  void Original1Click();
  void Deshacertodo1Click();
  void AbreSonidos();
  // Runs the open; false when it was stopped at the save question.
  bool OpenDataSet();
  // The save; false when nothing was written (answer not Yes, or a failure).
  bool SaveDataSet();

  // --- records (rhythm/form_records.cpp) ---
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
  void FillSequenceGrid(int t);

  // --- formula, track and theme editors (rhythm/layout_rhythm.cpp and form_*.cpp) ---
  void BuildRhythmEditors();    // creates the editors' own controls
  void ConnectRhythmEditors();  // binds their handlers
  // (the editors' handlers are declared here)

  // --- sound bank, mixer and its controls (engine/layout_engine.cpp and form_*.cpp) ---
  void BuildEngineControls();
  void ConnectEngineControls();
  // (the engine's handlers are declared here)
  // Sound bank and lists.
  void Aadir1Click();
  void Eliminar1Click();
  void Arriba1Click();
  void Bajar1Click();
  void Cambiar1Click();
  void LBInsContextPopup(const QPoint& pos);
  void LBwavsContextPopup(const QPoint& pos);
  void SpeedButton1Click();
  void LBInsClick();
  void LBwavsClick();
  void FillSoundChoosers();
  void WriteSoundListFile();
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
  void QueueBeat(int half, const int16_t* data, size_t bytes);
  void MixBeat();            // mixes the next beat into the free half and queues it
  void OnBufferDone();       // GUI thread, once per finished buffer
  std::unique_ptr<audio::WaveOut> WaveOut;
  std::array<audio::WaveHeader, 2> OutHeaders;
  MixerHooks Hooks;
  std::unique_ptr<BancoSonidos> Bank;
  std::unique_ptr<audio::SoundPlayer> SoundPreview;
  QMenu* PopupMenu3 = nullptr;
  QMenu* PopupMenu4 = nullptr;
  QPoint PopupMenu3Point;
  QAction *Eliminar1 = nullptr, *Arriba1 = nullptr, *Bajar1 = nullptr, *Cambiar1 = nullptr, *Aadir1 = nullptr;
  QLabel* Label15 = nullptr;
  QLabel* Label29 = nullptr;
  QPushButton* SpeedButton1 = nullptr;
  QWidget* OscSonidos = nullptr;  // chart view of a sound's samples
  QSlider* Nivel = nullptr;
  QSlider* tbvolumen = nullptr;
  QLineEdit* EdVol = nullptr;
  QLabel* IVolOn = nullptr;
  std::array<QPushButton*, 8> ClickPresetButtons{};  // SpeedButton3,4,5,7,2,8,9,10
  QRadioButton* Mono = nullptr;
  QRadioButton* Estereo = nullptr;

  // --- engine hooks used by the data-set commands ---
  void Stop1Click();
  void Normalizar1Click();

  // --- state (owned here, passed to the logic) ---
  std::unique_ptr<RhythmTables> Rhythm;
  DataSetState DataSet;
  FormulaEditorState FormulaEd;
  GuardFlags Guards;
  std::unique_ptr<EngineState> Engine;
  bool English = false;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<SettingsIni> SettingsIniFile;
  QString SaveAsInitialDir;
  std::vector<std::string> SoundList;  // the lines of LBIns as stored

  // --- widgets, by their component names ---
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

  QMenu *Archivo1 = nullptr, *Ver1 = nullptr, *Idiomas1 = nullptr, *Ayuda1 = nullptr;
  QAction *Original1 = nullptr, *Nuevo1 = nullptr, *Deshacertodo1 = nullptr, *Abrir2 = nullptr,
          *ImportarTEMA1 = nullptr, *ImportarPELNv11 = nullptr, *Guardar1 = nullptr, *Guardarcomo1 = nullptr,
          *Salir1 = nullptr, *Normalizar1 = nullptr;
  QAction *Metrnomo1 = nullptr, *Temas1 = nullptr, *Frmulas1 = nullptr, *Pistas1 = nullptr, *Onda1 = nullptr,
          *Sonidos1 = nullptr, *Afinador1 = nullptr, *Guitarra1 = nullptr;
  QAction *Nuevafrmula1 = nullptr, *Copiarfrmula1 = nullptr, *Pegarfrmula1 = nullptr, *Limpiarfrmula1 = nullptr,
          *Nuevotema1 = nullptr;

  StringGrid* SGFormulas = nullptr;
  StringGrid* SGTemas = nullptr;
  StringGrid* SGSaco = nullptr;
  StringGrid* SGDatosFormula = nullptr;
  QListWidget* LBIns = nullptr;
  QListWidget* LBwavs = nullptr;
  QPushButton* botonrec = nullptr;
  QLabel* TapaRec = nullptr;
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

 private:
  void BuildLayout();   // app/layout.cpp
  void BuildMenus();    // app/layout.cpp
  void ConnectHandlers();
  struct DragState {
    QWidget* panel;
    QPoint origin;
  };
  std::vector<DragState> drags_;
  std::string commandLineSet_;
  bool waveOutReported_ = false;
};
