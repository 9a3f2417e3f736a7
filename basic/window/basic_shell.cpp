// The basic window's shell: construction, start-up and shutdown, the
// output and input devices, the language switch, the help menu and the
// about box.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <chrono>

#include "app/startup.h"
#include "app/window/language.h"
#include "app/window/settings.h"
#include "app/window/string_grid.h"
#include "app/window/widgets.h"
#include "basic/window/basic_form.h"
#include "basic/window/basic_language.h"
#include "platform/files/text.h"
#include "platform/ui/desktop.h"

namespace bornace {

EditionFormat BasicEdition() {
  EditionFormat e;
  e.engine = kBasicFormat;
  e.soundCapacity = kBasicSoundCapacity;
  e.basic = true;
  return e;
}

TMainForm::TMainForm(Options opts, QWidget* parent)
    : QMainWindow(parent),
      Work(std::make_unique<Workspace>(BasicEdition())),
      Rhythm(Work->Rhythm.get()),
      Engine(Work->Engine.get()),
      Bank(Work->Bank.get()),
      Playback(Work->Playback.get()),
      DataSet(Work->DataSet),
      Device(Work->Device.get()) {
  setWindowTitle("Velarto");
  Playback->Rules = kBasicRules;
  DataSet.DataSetListPath = OlePathOf(DataSet.DataSetName);
  dialogs = opts.dialogs ? std::move(opts.dialogs) : CreateQtDialogs(this);
  desktop = opts.desktop ? std::move(opts.desktop) : CreateQtDesktop();
  WaveOut = opts.waveOut ? std::move(opts.waveOut) : audio::CreatePortAudioWaveOut();
  WaveIn = opts.waveIn ? std::move(opts.waveIn) : audio::CreatePortAudioWaveIn();
  SettingsIniFile = std::make_unique<SettingsIni>(opts.iniPath);
  commandLineSet_ = opts.commandLineSet.toLocal8Bit().toStdString();
  BuildLayout();
  BuildMenus();
  BuildChart();
  BuildDeviceLink(opts);
  ConnectShell();
  ConnectPages();
  resize(1346, 714);
}

TMainForm::~TMainForm() {
  // Nothing may reach the window once it goes: the timers stop, every queued
  // buffer is handed back and the devices close before anything is freed.
  if (Timer1) Timer1->stop();
  if (Timer3) Timer3->stop();
  if (Timer4) Timer4->stop();
  CloseWaveOutput();
  if (WaveIn) WaveIn->Close();
  CloseDevice();
}

void TMainForm::Log(const QString& line) { LogPlain(line); }

void TMainForm::LogPlain(const QString& line) {
  QTextDocument* doc = Visor->document();
  QTextCursor c(doc);
  c.movePosition(QTextCursor::End);
  if (!doc->isEmpty()) c.insertBlock(QTextBlockFormat(), QTextCharFormat());
  c.insertText(line, QTextCharFormat());
  Visor->verticalScrollBar()->setValue(Visor->verticalScrollBar()->maximum());
}

void TMainForm::ConnectShell() {
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
  connect(cb3d, &QCheckBox::clicked, this, [this] { cb3dClick(); });
  connect(Salir1, &QAction::triggered, this, [this] { Salir1Click(); });
  connect(Afinar2, &QAction::triggered, this, [this] { Afinar2Click(); });
  connect(Espaol1, &QAction::triggered, this, [this] { Espaol1Click(); });
  connect(Ingls1, &QAction::triggered, this, [this] { Ingls1Click(); });
  connect(P1, &QAction::triggered, this, [this] { BotonPlayCompClick(); });
  connect(PlayFrmula1, &QAction::triggered, this, [this] { botonplayClick(); });
  connect(Stop1, &QAction::triggered, this, [this] { Stop1Click(); });
  for (QAction* a : {ManualPC, PELN, guiarapida, Notacion})
    connect(a, &QAction::triggered, this, [this, a] { RunFileAction(a); });
  connect(ManualBORNACEPELN1, &QAction::triggered, this, [this] { ManualPC->trigger(); });
  connect(Velarto1, &QAction::triggered, this, [this] { PELN->trigger(); });
  connect(GuaRpidadelPELN1, &QAction::triggered, this, [this] { guiarapida->trigger(); });
  connect(ActualizarBORNACEPELN1, &QAction::triggered, this, [this] { ActualizarBORNACEPELN1Click(); });
  connect(Acercade1, &QAction::triggered, this, [this] { Acercade1Click(); });
  connect(Ayuda1, &QMenu::aboutToShow, this, [this] { Ayuda1Click(); });
  connect(tbvolumen, &QSlider::valueChanged, this, [this] { tbvolumenChange(); });
}

// --- start-up and shutdown --------------------------------------------------------

void TMainForm::FormCreate() {
  auto step = [this](const char* name) { StartupSteps.push_back(name); };
  ProbeDevice();
  step("ProbeHidDevice");
  Work->ClearBank();
  Playback->Random.seed(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  step("Random");
  FindDevicePort();
  step("FindDeviceSerialPort");
  step("Settings");
  std::string name = ToL1(SettingsIniFile->ReadString("METRONOMO", "archivo", "Original"));
  if (name.empty()) name = "Original";
  DataSet.DataSetName = name;
  // The working folder was moved at program entry; here the name replaces "archivo".
  if (auto set = FindCommandLineSet({commandLineSet_}, ".ole"))
    DataSet.DataSetName = ToL1(QString::fromLocal8Bit(set->name.c_str()));
  step("CommandLine");
  SettingsIniFile->WriteString("METRONOMO", "archivo", L1(DataSet.DataSetName));
  PreviousDataSetName = L1(DataSet.DataSetName);
  OlePath = L1(OlePathOf(DataSet.DataSetName));
  DataSet.DataSetListPath = OlePathOf(DataSet.DataSetName);
  if (LanguageIsEnglish(SettingsIniFile->ReadString("METRONOMO", "Idioma", QString::fromUtf8("Español"))))
    Ingls1->trigger();
  else
    Espaol1->trigger();
  step("Language");
  step("FftConstants");
  OpenWaveOutput();  // reports a device it cannot open, sets tbvolumen from the device
  step("WaveOut");
  OpenWaveInput();
  step("WaveIn");
  step("ControlArrays");
  DrawOscilata();
  step("Pictures");
  OpenDevicePort();
  step("OpenDeviceSerialPort");
  DataSet.SilentOpen = true;
  Abrir2Click();
  step("OpenDataSet");
  NSerieMetronomo();
  step("NSerieMetronomo");
}

void TMainForm::OpenWaveOutput() {
  // The done callback runs on the device's thread: the player counts the
  // buffer there, and the GUI thread is woken for the beat step.
  const audio::WaveResult r = Playback->Open(
      WaveOut.get(), [this] { QMetaObject::invokeMethod(this, [this] { OnBufferDone(); }, Qt::QueuedConnection); });
  if (r != audio::WaveResult::kOk) {
    if (!waveOutReported_) dialogs->ShowMessage(QString::fromLocal8Bit(WaveOut->ErrorText().c_str()));
    waveOutReported_ = true;
    return;
  }
  const QSignalBlocker block(tbvolumen);
  tbvolumen->setValue(static_cast<int>(audio::WaveVolumeRight(WaveOut->GetVolume())));
  Engine->Controls.MasterVolume = tbvolumen->value();
}

void TMainForm::CloseWaveOutput() { Playback->Close(); }

// A finished buffer: while playing, the beat step makes the next beat on
// its tick; once stopped, the elapsed time is brought up to date once and
// stops with the last buffer.
void TMainForm::OnBufferDone() {
  if (Playback->Running()) {
    Timer1Timer();
  } else {
    Timer4Timer();
    Timer4->stop();
  }
}

void TMainForm::tbvolumenChange() {
  Engine->Controls.MasterVolume = tbvolumen->value();
  if (WaveOut && WaveOut->IsOpen())
    WaveOut->SetVolume(static_cast<uint32_t>(tbvolumen->value()) | (static_cast<uint32_t>(tbvolumen->value()) << 16));
}

bool TMainForm::FormClose() {
  if (FormClosed) return true;  // the window is going already
  // The first page shows while the question is asked; playback and the
  // tuner stop first.
  PageControl1->setCurrentWidget(TabSheet1);
  if (Engine->PlayState != 0 || Timer1->isActive()) botonstopClick();
  StopTunerInput();
  // Whatever the answer, the window closes (the basic edition asks Yes/No).
  if (Modified()) botonrecClick();
  if (DataSet.DataSetName == "Nuevo")
    SettingsIniFile->WriteString("METRONOMO", "archivo", PreviousDataSetName);
  Timer1->stop();
  Timer4->stop();
  if (Timer3) Timer3->stop();
  CloseWaveOutput();
  if (WaveIn) WaveIn->Close();
  CloseDevice();
  FormClosed = true;
  return true;
}

void TMainForm::closeEvent(QCloseEvent* e) {
  FormClose();
  e->accept();
}

void TMainForm::Salir1Click() { close(); }

// --- language ----------------------------------------------------------------------

void TMainForm::SetLanguage(bool english) {
  ActualizarBORNACEPELN1->setText(english ? "Update BORNACE_DRAV" : "Actualizar BORNACE_DRAV");
  ActualizarBORNACEPELN1->setProperty("url", QString::fromLatin1(english ? kBasicDownloadUrlEnglish
                                                                         : kBasicDownloadUrlSpanish));
  setWindowTitle("Velarto Quendrel - " + L1(DataSet.DataSetName));
  SettingsIniFile->WriteString("METRONOMO", "Idioma", english ? QString("Ingles") : QString::fromUtf8("Español"));
  English = english;
  Ingls1->setChecked(english);
  Espaol1->setChecked(!english);
  ApplyBasicLanguageTable(this, english);
  SetQtDialogLanguage(english);
}

void TMainForm::Ingls1Click() { SetLanguage(true); }
void TMainForm::Espaol1Click() { SetLanguage(false); }

// --- help ----------------------------------------------------------------------------

void TMainForm::RunFileAction(QAction* action) {
  const QString path = QDir::current().absoluteFilePath(action->property("fileName").toString());
  // A document that is not there, or that nothing could open, is said.
  if (QFileInfo(path).isFile() && desktop->Open(QUrl::fromLocalFile(path))) return;
  dialogs->ShowMessage(Tr("No se puede abrir el archivo:\r\n", "I cannot open the file:\r\n") + path);
}

void TMainForm::Ayuda1Click() {}

void TMainForm::ActualizarBORNACEPELN1Click() {
  desktop->Open(QUrl(ActualizarBORNACEPELN1->property("url").toString()));
}

void TMainForm::Acercade1Click() { ShowAboutBox(); }

void TMainForm::ShowAboutBox() {
  QDialog box(this);
  box.setObjectName("Acercade");
  box.setWindowTitle(Ingls1->isChecked() ? "About BORNACE_DRAV" : "Acerca de BORNACE_DRAV");
  box.setFixedSize(467, 314);
  box.setStyleSheet("QDialog#Acercade { background: rgb(255, 128, 0); }");
  auto* panel = new QWidget(&box);
  panel->setObjectName("Panel1");
  panel->setGeometry(150, 10, 307, 250);
  panel->setStyleSheet("QWidget#Panel1 { background: black; } QLabel { color: white; }");
  auto* name = MakeLabel(panel, "ProductName", "BORNACE_DRAV", {10, 10, 287, 24});
  name->setStyleSheet("QLabel { font-weight: bold; color: white; }");
  auto* version = MakeLabel(panel, "Version", "Version 2.00 - 16/10/2014", {10, 40, 287, 24});
  version->setStyleSheet("QLabel { color: rgb(0, 128, 255); }");
  auto* ok = new QPushButton("OK", &box);
  ok->setObjectName("OKButton");
  ok->setGeometry(190, 270, 90, 30);
  connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
  if (AboutBoxHook)
    AboutBoxHook(&box);
  else
    box.exec();
}

}  // namespace bornace
