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
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QMenuBar>
#include <QSlider>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <chrono>

#include "app/window/close_steps.h"
#include "app/startup.h"
#include "app/window/language.h"
#include "platform/ui/settings.h"
#include "app/window/startup_steps.h"
#include "platform/ui/string_grid.h"
#include "platform/ui/widgets.h"
#include "app/window/about.h"
#include "basic/window/basic_about.h"
#include "basic/window/basic_form.h"
#include "basic/window/keyboard_order_basic.h"
#include "basic/window/basic_language.h"
#include "platform/files/text.h"
#include "platform/ui/desktop.h"
#include "rhythm/window/editor_handlers.h"

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
      WorkspaceParts(BasicEdition()) {
  setWindowTitle("Velarto");
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
  BuildShellActions();
  BuildDeviceLink(opts);
  ConnectShell();
  ConnectPages();
  FitBasicLayout();
  SetBasicTabOrder(*this);
  // As large as the page control, within the screen's free area.
  QSize size = PageControlDesignSize + QSize(10, menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableGeometry().size());
  resize(size);
  // The client area's size, once the window lays it out, bounds the page control.
  centralWidget()->installEventFilter(new EventHook(centralWidget(), [this](QObject*, QEvent* e) {
    if (e->type() == QEvent::Resize) {
      FitPageControl();
      FormResize();
    }
    return false;
  }));
}

TMainForm::~TMainForm() {
  // Nothing may reach the window once it goes: the timers stop, every queued
  // buffer is handed back and the devices close before anything is freed.
  StopWindowDevices(*this);
}

void TMainForm::Log(const QString& line) { LogPlain(line); }

void TMainForm::LogPlain(const QString& line) { AppendPlainLine(Visor, line); }

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
  DevicePane.Probe();
  step("ProbeHidDevice");
  Work->ClearBank();
  Deck->SeedRandom(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  step("Random");
  DevicePane.FindPort(*SettingsIniFile, *dialogs);
  step("FindDeviceSerialPort");
  step("Settings");  // vididoru.ini, opened when the window was made
  std::string refusedSet;
  DataSet.DataSetName = StartupSetName(*SettingsIniFile, commandLineSet_, ".ole", &refusedSet);
  TellSettingsProblems(*this, refusedSet);
  step("archivo");
  step("CommandLine");
  step("WriteArchivo");
  OlePath = L1(OlePathOf(DataSet.DataSetName));
  DataSet.DataSetListPath = OlePathOf(DataSet.DataSetName);
  step("OlePath");
  RunLanguageOfSettings(*this);
  step("Language");
  step("FftConstants");  // the analysis keeps its own constants
  OpenWaveOutput();      // says in the log a device it cannot open, sets tbvolumen from the device
  step("WaveOut");
  step("Volume");
  step("WaveIn");  // the input is looked for when the tuner starts
  step("ControlArrays");  // BeatLabels and AccentBoxes, filled by the layout
  PreparePictures();
  step("Pictures");
  DevicePane.OpenPort();
  step("OpenDeviceSerialPort");
  DataSet.SilentOpen = true;
  Abrir2Click();
  step("OpenDataSet");
  NSerieMetronomo();
  step("NSerieMetronomo");
}

// The wave picture black (the beat step draws on it in pure green, Qt's
// lime), the fretboard black (the tuner draws on it with its yellow pen).
void TMainForm::PreparePictures() {
  auto black = [](QLabel* l) {
    if (!l || l->width() <= 0 || l->height() <= 0) return;
    QPixmap pic(l->size());
    pic.fill(Qt::black);
    l->setPixmap(pic);
  };
  black(oscilata);
  if (Image7 && Image7->pixmap().isNull()) black(Image7);
}

void TMainForm::OpenWaveOutput() {
  OpenOutputWithItsVolume(*this);
  Deck->SetMasterVolume(tbvolumen->value());
}

void TMainForm::CloseWaveOutput() { Deck->CloseOutput(); }

// A finished buffer: while playing, the beat step makes the next beat on
// its tick; once stopped, the elapsed time is brought up to date once and
// stops with the last buffer.
void TMainForm::OnBufferDone() {
  // While playing the buffer is counted and Timer1's next tick makes the
  // beat; the beat step runs on that timer alone.
  if (Deck->IsPlaying()) return;
  Timer4Timer();
  Timer4->stop();
}

void TMainForm::tbvolumenChange() {
  Deck->SetMasterVolume(tbvolumen->value());
  if (WaveOut && WaveOut->IsOpen())
    WaveOut->SetVolume(static_cast<uint32_t>(tbvolumen->value()) | (static_cast<uint32_t>(tbvolumen->value()) << 16));
}

bool TMainForm::FormClose() {
  if (FormClosed) return true;  // the window is going already
  // The first page shows while the question is asked; playback and the
  // tuner stop first, so that nothing plays or listens under the question.
  PageControl1->setCurrentWidget(TabSheet1);
  if (Engine->PlayState != 0 || Deck->IsPlaying()) botonstopClick();
  StopTunerInput();
  // The basic edition asks Yes/No, and No closes without saving; a save
  // that was refused (sounds above the device's memory) or failed asks
  // whether to try again, quit without saving or stay.
  if (!SaveBeforeClose(*this, false)) return false;
  // "Nuevo" is never opened at start: the next start opens the set that
  // was open before it.
  if (DataSet.DataSetName == "Nuevo") {
    const std::string previous =
        DataSet.PreviousDataSetName.empty() || DataSet.PreviousDataSetName == "Nuevo" ? std::string("Original")
                                                                                       : DataSet.PreviousDataSetName;
    SettingsIniFile->WriteString("METRONOMO", "archivo", L1(previous));
  }
  StopWindowDevices(*this);
  return true;
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (FormClose())
    e->accept();
  else
    e->ignore();
}

void TMainForm::Salir1Click() { close(); }

// --- language ----------------------------------------------------------------------

void TMainForm::SetLanguage(bool english) {
  ActualizarBORNACEPELN1->setText(english ? "Update BORNACE_DRAV" : "Actualizar BORNACE_DRAV");
  SwitchWindowLanguage(
      *this, english, english ? kBasicDownloadUrlEnglish : kBasicDownloadUrlSpanish,
      [this](bool e) {
        ApplyBasicLanguageTable(this, e);
        ShowRunTimeTexts();
      },
      "About BORNACE_DRAV");
}

void TMainForm::ShowRunTimeTexts() {
  editor_steps::WordEditorCaptions(*this, Pages);
  ShowSoundMeter(false);
  if (!Label3->text().isEmpty()) ShowCompasCounter();
}

void TMainForm::Ingls1Click() { SetLanguage(true); }
void TMainForm::Espaol1Click() { SetLanguage(false); }

// --- help ----------------------------------------------------------------------------

void TMainForm::BuildShellActions() {
  auto action = [&](QAction*& a, const char* name, const QString& caption, const char* url) {
    AddWidgetAction(this, a, name, caption);
    a->setProperty("url", QString::fromLatin1(url));
  };
  action(BUActualizar, "BUActualizar", "Actualizar BORNACE_DRAV", kBasicDownloadUrlSpanish);
  action(MakerSiteAction, "MakerSiteAction", "Velarto Quendrel", kMakerSiteUrl);
  action(ProductSiteAction, "ProductSiteAction", "BORNACE_DRAV", kBasicProductSiteUrl);
  action(SecondSiteAction, "SecondSiteAction", "Flamenco", kSecondSiteUrl);
  for (QAction* a : {BUActualizar, MakerSiteAction, ProductSiteAction, SecondSiteAction})
    connect(a, &QAction::triggered, this, [this, a] { BrowseUrlAction(a); });
}

bool TMainForm::BrowseUrlAction(QAction* action) {
  return desktop->Open(QUrl(action->property("url").toString()));
}

void TMainForm::RunFileAction(QAction* action) {
  const QString path = QDir::current().absoluteFilePath(action->property("fileName").toString());
  // A document that is not there is said; one that the desktop has no
  // viewer for is named, with what is needed to read it.
  if (!QFileInfo(path).isFile()) {
    dialogs->ShowMessage(Tr("No se puede abrir el archivo:\r\n", "I cannot open the file:\r\n") + path);
    return;
  }
  if (desktop->Open(QUrl::fromLocalFile(path))) return;
  dialogs->ShowMessage(Tr("Hace falta un visor de PDF para leer este documento. Abra con uno este archivo:\r\n",
                          "A PDF viewer is needed to read this document. Open this file with one:\r\n") + path);
}

void TMainForm::Ayuda1Click() {}

void TMainForm::ActualizarBORNACEPELN1Click() { BUActualizar->trigger(); }

void TMainForm::CreateAboutBox() {
  if (!Acercade) Acercade = new TAcercade(this);
}

void TMainForm::Acercade1Click() {
  CreateAboutBox();
  if (AboutBoxHook)
    AboutBoxHook(Acercade);
  else
    Acercade->exec();
}

}  // namespace bornace
