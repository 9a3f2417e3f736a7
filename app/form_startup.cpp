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

#include "app/mainform.h"
#include "app/settings.h"
#include "app/startup.h"
#include "platform/text.h"

void TMainForm::BuildStartupControls() {
  RBMicro = new QRadioButton("Micro", PanelAfinador);
  RBMicro->setObjectName("RBMicro");
  RBMicro->setGeometry(20, 380, 80, 20);
  RBMetro = new QRadioButton("Velarto", PanelAfinador);
  RBMetro->setObjectName("RBMetro");
  RBMetro->setGeometry(110, 380, 80, 20);
  CBGuitarras = new QComboBox(PanelGuitarra);
  CBGuitarras->setObjectName("CBGuitarras");
  CBGuitarras->setGeometry(60, 22, 140, 22);
  Image9 = new QLabel(PanelGuitarra);
  Image9->setObjectName("Image9");
  Image9->setGeometry(700, 24, 150, 100);
}

void TMainForm::FormCreate() {
  auto step = [this](const char* name) { StartupSteps.push_back(name); };
  step("ProbeHidDevice");  // the device link comes later: nothing to find yet
  step("RegisterIosService");
  // The beat step is woken once per finished buffer (OnBufferDone) and by Timer1.
  step("MiMain");
  Bank = std::make_unique<BancoSonidos>(kProSoundCapacity);
  step("Streams");
  step("TunerNeedle");
  Random.seed(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  step("Random");
  step("FindDeviceSerialPort");
  step("Settings");
  std::string name = ToL1(SettingsIniFile->ReadString("METRONOMO", "archivo", "Original"));
  if (name.empty()) name = "Original";
  DataSet.DataSetName = name;
  if (!commandLineSet_.empty()) DataSet.DataSetName = commandLineSet_;
  step("CommandLine");
  SettingsIniFile->WriteString("METRONOMO", "archivo", L1(DataSet.DataSetName));
  const std::string tuner = ToL1(SettingsIniFile->ReadString("METRONOMO", "Afinador", "Microfono"));
  GuitarBankName = ToL1(SettingsIniFile->ReadString("METRONOMO", "Guitarra", "Guitarra"));
  (TunerInputIsMicrophone(tuner) ? RBMicro : RBMetro)->setChecked(true);
  step("TunerInput");
  step("Fretboard");
  OlePath = "datos/" + DataSet.DataSetName + ".ole";
  DataSet.DataSetListPath = ListPathOf(DataSet.DataSetName);
  SwitchLanguageFromSettings();
  step("Language");
  step("FftConstants");
  OpenWaveOutput();  // reports a device it cannot open, sets tbvolumen from the device
  step("WaveOut");
  OpenWaveInput();
  step("WaveIn");
  for (QSlider* s : TBPan) s->setStyleSheet("QSlider { background-color: rgb(128, 0, 0); }");
  for (QSlider* s : TBVol) s->setStyleSheet("QSlider { background-color: rgb(128, 0, 0); }");
  step("ControlArrays");
  step("OpenDeviceSerialPort");
  DataSet.SilentOpen = true;
  Abrir2Click();
  step("OpenDataSet");
  ClearModified();  // the device identification ends with the set unmodified
  step("NSerieMetronomo");
  CBGuitarras->clear();
  for (const auto& g : GuitarSetNames("BancoDeSonidos")) CBGuitarras->addItem(L1(g));
  CBGuitarras->setCurrentIndex(-1);
  step("GuitarSets");
}

void TMainForm::OpenWaveInput() {
  if (!WaveIn) return;
  const audio::WaveResult r = WaveIn->Open(audio::kTunerInputFormat, [this](audio::WaveHeader&) {
    WaveInReady = true;  // the tuner looks at it on its timer
  });
  if (r != audio::WaveResult::kOk) {
    dialogs->ShowMessage(QString::fromLocal8Bit(WaveIn->ErrorText().c_str()));
    WaveIn.reset();
  }
}

bool TMainForm::FormClose() {
  if (Guitarra1->isChecked()) Guitarra1->trigger();
  if (Afinador1->isChecked()) Afinador1->trigger();
  if (Modified()) {
    DataSet.SaveWithoutAsking = false;
    const bool saved = SaveDataSet();
    // Cancel keeps the program running, and so does a save that failed:
    // closing then would lose the changes.
    if (DataSet.SaveAnswer == kAnswerCancel || (DataSet.SaveAnswer == kAnswerYes && !saved)) return false;
  }
  if (DataSet.DataSetName == "Nuevo") {
    const std::string previous =
        DataSet.PreviousDataSetName.empty() ? std::string("Original") : DataSet.PreviousDataSetName;
    SettingsIniFile->WriteString("METRONOMO", "archivo", L1(previous));
  }
  // Nothing may run once the window goes: playback, the timers, the devices.
  if (Engine->PlayState != 0) Stop1Click();
  Timer1->stop();
  Timer4->stop();
  CloseWaveOutput();
  if (WaveIn) WaveIn->Close();
  return true;
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (FormClose())
    e->accept();
  else
    e->ignore();
}

void TMainForm::Salir1Click() { close(); }
