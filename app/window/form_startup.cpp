// Start-up and shutdown of the main window.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <chrono>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "platform/ui/settings.h"
#include "app/window/close_steps.h"
#include "app/window/startup_steps.h"
#include "app/startup.h"
#include "platform/files/text.h"

void TMainForm::BuildStartupControls() {
  RBMicro = new QRadioButton("PC mic", PanelAfinador);
  RBMicro->setObjectName("RBMicro");
  RBMicro->setGeometry(20, 380, 80, 20);
  RBMetro = new QRadioButton("DRAV", PanelAfinador);
  RBMetro->setObjectName("RBMetro");
  RBMetro->setGeometry(110, 380, 80, 20);
  CBGuitarras = new QComboBox(PanelGuitarra);
  CBGuitarras->setObjectName("CBGuitarras");
  CBGuitarras->setGeometry(60, 22, 140, 22);
  Image9 = MakeLabel(PanelGuitarra, "Image9", QString(), {700, 24, 150, 100});
}

void TMainForm::FormCreate() {
  auto step = [this](const char* name) { StartupSteps.push_back(name); };
  DevicePane.Probe();
  step("ProbeHidDevice");
  RegisterIosService();
  step("RegisterIosService");
  // The beat step is woken once per finished buffer (OnBufferDone), and by nothing else.
  step("MiMain");
  Work->ClearBank();
  step("Streams");
  step("TunerNeedle");
  Deck->SeedRandom(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  step("Random");
  DevicePane.FindPort(*SettingsIniFile, *dialogs);
  step("FindDeviceSerialPort");
  step("Settings");
  std::string refusedSet;
  DataSet.DataSetName = StartupSetName(*SettingsIniFile, commandLineSet_, ".vl2", &refusedSet);
  TellSettingsProblems(*this, refusedSet);
  step("CommandLine");
  const std::string tuner = ToL1(SettingsIniFile->ReadString("METRONOMO", "Afinador", "Microfono"));
  GuitarBankName = ToL1(SettingsIniFile->ReadString("METRONOMO", "Guitarra", "Guitarra"));
  (TunerInputIsMicrophone(tuner) ? RBMicro : RBMetro)->setChecked(true);
  step("TunerInput");
  step("Fretboard");
  OlePath = SetFolder(DataSet.DataSetName) + ".ole";
  DataSet.DataSetListPath = ListPathOf(DataSet.DataSetName);
  SwitchLanguageFromSettings();
  step("Language");
  LoadPanelPictures();  // once the language is known: a damaged picture is said in it
  step("FftConstants");
  OpenWaveOutput();  // says in the log a device it cannot open, sets tbvolumen from the device
  step("WaveOut");
  // The input is looked for when the tuner opens: a machine without one
  // starts without a word about it.
  step("WaveIn");
  // The arrays are the layout's (AccentBoxes, BeatLabels, SoloButtons,
  // MuteButtons, TBPan, TBVol); the guitar's VolG and PanG and its string
  // note labels come with the guitar.
  step("ControlArrays");
  DevicePane.OpenPort();
  step("OpenDeviceSerialPort");
  DataSet.SilentOpen = true;
  Abrir2Click();
  step("OpenDataSet");
  ClearModified();  // the device identification ends with the set unmodified
  NSerieMetronomo();
  step("NSerieMetronomo");
  CBAcordesCambia();  // the chord list, once the device is known
  ReportPhoneLink();
  step("IosReady");
  CBGuitarras->clear();
  for (const auto& g : GuitarSetNames("BancoDeSonidos")) CBGuitarras->addItem(L1(g));
  CBGuitarras->setCurrentIndex(CBGuitarras->findText(L1(GuitarBankName)));  // the bank the open loaded
  step("GuitarSets");
}

// The tuner's input, opened by the tuner when it opens (LookForTunerInput,
// which says a failure).
bool TMainForm::OpenWaveInput() {
  if (!WaveIn) return false;
  return WaveIn->Open(audio::kTunerInputFormat, [this](audio::WaveHeader& h) {
    WaveInReady = true;
    TunerMic->OnBufferDone(h);  // the tuner takes the block on its timer
  }) == audio::WaveResult::kOk;
}

bool TMainForm::FormClose() {
  if (FormClosed) return true;  // the window is going already
  // Playback stops first: the sequencer must not run under the questions
  // below, nor touch anything once the window goes.
  if (Engine->PlayState != 0) botonstopClick();
  if (Guitarra1->isChecked()) Guitarra1->trigger();
  if (Afinador1->isChecked()) Afinador1Click();
  // Cancel keeps the program running; a save that failed asks whether to
  // try again, quit without saving or stay.
  if (!SaveBeforeClose(*this, true)) return false;
  if (DataSet.DataSetName == "Nuevo") {
    const std::string previous =
        DataSet.PreviousDataSetName.empty() ? std::string("Original") : DataSet.PreviousDataSetName;
    SettingsIniFile->WriteString("METRONOMO", "archivo", L1(previous));
  }
  // The close goes through.
  StopWindowDevices(*this);
  return true;
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (FormClose())
    e->accept();
  else
    e->ignore();
}

// "Archivo" > "Salir": the same close as the window's own.
void TMainForm::Salir1Click() { close(); }
