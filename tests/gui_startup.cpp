#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <sys/stat.h>

#include <algorithm>

#include "platform/ui/desk_theme.h"
#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"

namespace {
void SetIni(const char* key, const QString& value) {
  QSettings("DRAV_PROF.ini", QSettings::IniFormat).setValue(QString("METRONOMO/") + key, value);
}
QStringList IniKeys() {
  QSettings s("DRAV_PROF.ini", QSettings::IniFormat);
  return s.allKeys();
}
QString Ini(const char* key) {
  return QSettings("DRAV_PROF.ini", QSettings::IniFormat).value(QString("METRONOMO/") + key).toString();
}
}  // namespace

// The window built as Start() builds it, with the options and the devices
// set up by the test before start-up runs.
class StartupTest : public WindowTest {
 protected:
  void StartWith(const std::function<void(TMainForm::Options&)>& setUp) {
    auto d = std::make_unique<ScriptedDialogs>();
    dlg = d.get();
    TMainForm::Options o;
    o.dialogs = std::move(d);
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    o.waveOut = std::move(w);
    auto in = audio::CreateTestWaveIn();
    waveIn = in.get();
    o.waveIn = std::move(in);
    setUp(o);
    form = std::make_unique<TMainForm>(std::move(o));
    form->FormCreate();
  }
};

// What start-up does, seen from outside in the order it matters: the
// settings are read, the language is switched before anything is shown, the
// master volume is taken from the output device right after it opens, and
// the set named in the settings opens last, in the language chosen. The
// input is looked for only when the tuner opens.
TEST_F(StartupTest, SettingsLanguageDevicesThenTheSet) {
  SetIni("Idioma", "English");
  SetIni("archivo", "Original");
  struct AtInputOpen {
    bool seen = false;
    bool english = false;
    bool outputOpen = false;
    int volume = -1;
  } at;
  StartWith([&](TMainForm::Options&) {
    wave->SetVolume(audio::WaveVolume(1000, 30000));
    waveIn->SetOpenHook([&] {
      at.seen = true;
      at.english = form->English;
      at.outputOpen = wave->IsOpen();
      at.volume = form->tbvolumen->value();
    });
  });
  EXPECT_FALSE(at.seen) << "the input waits for the tuner";
  EXPECT_EQ(form->tbvolumen->value(), 30000);  // the right channel's level
  EXPECT_TRUE(form->tbvolumen->isEnabled());
  const auto& steps = form->StartupSteps;
  auto at_step = [&](const char* name) { return std::find(steps.begin(), steps.end(), name) - steps.begin(); };
  EXPECT_LT(at_step("Language"), at_step("WaveOut"));
  EXPECT_LT(at_step("WaveOut"), at_step("OpenDataSet")) << "the set opens after the devices";
  EXPECT_LT(at_step("OpenDataSet"), static_cast<long>(steps.size()));
  EXPECT_GT(form->SGTemas->RowCount(), 2);
  EXPECT_EQ(form->SGTemas->Cells(0, 0), "Song No.");
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_FALSE(form->Modified());
  // The output opened before the volume was read from it.
  const auto calls = wave->CallNames();
  const auto open = std::find(calls.begin(), calls.end(), "Open");
  const auto get = std::find(calls.begin(), calls.end(), "GetVolume");
  ASSERT_NE(open, calls.end());
  ASSERT_NE(get, calls.end());
  EXPECT_LT(open - calls.begin(), get - calls.begin());
  form->Afinador1->trigger();
  ASSERT_TRUE(at.seen);
  EXPECT_TRUE(at.english);
  EXPECT_TRUE(at.outputOpen);
  EXPECT_EQ(at.volume, 30000);
  EXPECT_TRUE(waveIn->IsOpen());
}

TEST_F(WindowTest, FirstStartWithoutSettings) {
  ASSERT_FALSE(QFile::exists("DRAV_PROF.ini"));
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_FALSE(form->English);
  EXPECT_TRUE(form->RBMicro->isChecked());
  EXPECT_EQ(form->GuitarBankName, "Guitarra");
  QStringList keys = IniKeys();
  keys.sort();
  EXPECT_EQ(keys, (QStringList{"METRONOMO/Idioma", "METRONOMO/archivo"}));
  EXPECT_EQ(Ini("archivo"), "Original");
  EXPECT_EQ(Ini("Idioma"), QString::fromUtf8("Español"));
  EXPECT_FALSE(form->Modified());
  // Without the DNS-SD server there is no iOS line.
  EXPECT_FALSE(form->BonjourPresent);
  EXPECT_FALSE(LogHas("iOS"));
}

TEST_F(WindowTest, LanguageAndTunerSettings) {
  struct {
    QString idioma;
    bool english;
  } cases[] = {{"INGLES", true}, {"English", true}, {QString::fromUtf8("Inglés"), false}, {"Ingles", true}};
  for (const auto& c : cases) {
    SetIni("Idioma", c.idioma);
    SetIni("Afinador", "microfono");
    Start();
    EXPECT_EQ(form->English, c.english) << c.idioma.toStdString();
    EXPECT_TRUE(form->RBMetro->isChecked());
    form.reset();
  }
}

TEST_F(StartupTest, CommandLineNamesTheSet) {
  struct {
    QString argument;
    std::string set;  // the set opened and written to "archivo" at once
  } cases[] = {{"datos/Tangos.vl2", "Tangos"},
               {"datos/Bulerias 1.vl2", "Bulerias 1"},
               {QString::fromUtf8("datos/Bulerías.vl2"), "Buler\xED" "as"},  // the name kept in Latin-1
               {"datos/Tangos.VL2", "Soleares"},  // not a list file: "archivo" decides
               {"", "Soleares"}};
  for (const auto& c : cases) {
    SetIni("archivo", "Soleares");
    StartWith([&](TMainForm::Options& o) { o.commandLineList = c.argument; });
    EXPECT_EQ(form->DataSet.DataSetName, c.set) << c.argument.toStdString();
    EXPECT_EQ(Ini("archivo"), QString::fromLatin1(c.set.c_str())) << c.argument.toStdString();
    EXPECT_TRUE(FileExists(ListPathOf(c.set))) << c.argument.toStdString();
    form.reset();
  }
}

TEST_F(StartupTest, MasterVolumeComesFromTheOutputDevice) {
  struct {
    uint32_t device;  // left level in the low half, right level in the high half
    int slider;
    uint32_t after;   // a moved slider sets both channels as a user's move does
  } cases[] = {{0x40008000u, 0x4000, 0x40004000u},
               {0xFFFF0000u, 0xFFFF, 0xFFFFFFFFu},
               {0x0000FFFFu, 0, 0x0000FFFFu}};  // the slider does not move: nothing set
  for (const auto& c : cases) {
    StartWith([&](TMainForm::Options&) { wave->SetVolume(c.device); });
    EXPECT_EQ(form->tbvolumen->value(), c.slider) << std::hex << c.device;
    EXPECT_EQ(wave->GetVolume(), c.after) << std::hex << c.device;
    form.reset();
  }
}

// No device asks anything before the window opens: a missing output is
// said in the log in the user's language, with what to do and the sound
// system's own text, and the volume control is disabled at the volume kept
// for the device; a missing input is said when the tuner opens, in the log
// and on the tuner's input trace, and looked for again at the next opening.
TEST_F(StartupTest, DevicesThatCannotOpenAreSaidInTheUsersLanguage) {
  struct {
    const char* output;
    const char* input;
    bool english;
    const char* outputSaid;  // "" when nothing is said of the output
    const char* inputSaid;
  } cases[] = {
      {"no default output device", "", false, "No hay salida de sonido", ""},
      {"no default output device", "", true, "No sound output", ""},
      {"", "no default input device", false, "", "No hay entrada de sonido"},
      {"", "no default input device", true, "", "No sound input"},
      {"no default output device", "no default input device", true, "No sound output", "No sound input"},
  };
  for (const auto& c : cases) {
    SetIni("Idioma", c.english ? "Ingles" : QString::fromUtf8("Español"));
    StartWith([&](TMainForm::Options&) {
      wave->SetVolume(0x40004000u);
      if (*c.output) wave->SetOpenFailure(c.output);
      if (*c.input) waveIn->SetOpenFailure(c.input);
    });
    const std::string name = std::string(c.output) + "|" + c.input + (c.english ? " en" : " es");
    EXPECT_TRUE(dlg->messages.isEmpty()) << name << ": " << dlg->messages.join('|').toStdString();
    EXPECT_EQ(form->StartupSteps.back(), "GuitarSets") << name;
    EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Original") << name;
    EXPECT_EQ(form->tbvolumen->value(), 0x4000) << name;  // the volume kept, not an empty control
    EXPECT_EQ(form->tbvolumen->isEnabled(), !*c.output) << name;
    EXPECT_EQ(form->EdVol->isEnabled(), !*c.output) << name;
    EXPECT_EQ(form->EdVol->text(), "25") << name;
    const QString log = form->Visor->toPlainText();
    if (*c.output) {
      const QString line = log.split('\n').filter(QString::fromUtf8(c.outputSaid)).value(0);
      EXPECT_FALSE(line.isEmpty()) << name << ": " << log.toStdString();
      EXPECT_TRUE(line.contains("JACK") && line.contains("VELARTO_AUDIO_HOST")) << line.toStdString();
      EXPECT_TRUE(line.endsWith(c.output)) << line.toStdString();
      EXPECT_EQ(log.count(QString::fromUtf8(c.outputSaid)), 1) << name;
    } else {
      EXPECT_FALSE(log.contains("VELARTO_AUDIO_HOST")) << name;
    }
    EXPECT_FALSE(log.contains(QString::fromUtf8(c.english ? "No hay" : "No sound"))) << name;
    // Nothing of the input until the tuner opens.
    EXPECT_FALSE(waveIn->IsOpen()) << name;
    EXPECT_FALSE(log.contains("input") || log.contains("entrada")) << name;
    for (int opening = 0; opening < 2; ++opening) {
      form->Afinador1->trigger();  // opens the tuner
      EXPECT_EQ(waveIn->IsOpen(), !*c.input) << name;
      auto* said = form->Oscilata3->findChild<QLabel*>("TunerInputProblem");
      const QString log2 = form->Visor->toPlainText();
      if (*c.input) {
        ASSERT_TRUE(said) << name;
        EXPECT_TRUE(said->isVisibleTo(form.get())) << name;
        EXPECT_TRUE(said->text().startsWith(QString::fromUtf8(c.inputSaid))) << said->text().toStdString();
        EXPECT_TRUE(said->text().endsWith(c.input)) << said->text().toStdString();
        EXPECT_EQ(log2.count(QString::fromUtf8(c.inputSaid)), opening + 1) << name;
      } else {
        EXPECT_TRUE(!said || !said->isVisibleTo(form.get())) << name;
      }
      form->Afinador1->trigger();  // closes it
      form->Timer3Timer();
    }
    form.reset();
  }
}

// The track bars of the arrays and the guitar's look like every other
// slider of the desk: no ground of their own, the theme's groove and handle.
TEST_F(WindowTest, TrackBarsOfTheArraysWearTheDesksLook) {
  Start();
  form->Guitarra1->trigger();
  std::vector<QSlider*> bars(form->TBPan.begin(), form->TBPan.end());
  bars.insert(bars.end(), form->TBVol.begin(), form->TBVol.end());
  bars.insert(bars.end(), {form->VolG, form->PanG});
  for (QSlider* s : bars) {
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->styleSheet().isEmpty()) << s->objectName().toStdString();
    const QColor corner = s->grab().toImage().pixelColor(1, 1);
    EXPECT_LT(corner.lightness(), 60) << s->objectName().toStdString();
    EXPECT_LT(std::abs(corner.red() - corner.green()), 12) << s->objectName().toStdString();  // no red ground
  }
}

TEST_F(WindowTest, CloseWithChangesAndTheThreeAnswers) {
  Start();
  // The guitar and tuner panels close first, whatever the answer.
  form->Guitarra1->trigger();
  form->Afinador1->trigger();
  ASSERT_TRUE(form->Guitarra1->isChecked() && form->Afinador1->isChecked());
  form->Cambios();
  dlg->answers = {kAnswerCancel};
  EXPECT_FALSE(form->FormClose());
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(form->Guitarra1->isChecked() || form->PanelGuitarra->isVisibleTo(form.get()));
  EXPECT_FALSE(form->Afinador1->isChecked() || form->PanelAfinador->isVisibleTo(form.get()));
  EXPECT_TRUE(wave->IsOpen());  // the program runs on with its devices

  // The save failed: the close asks again, and Cancel stays.
  const QString notSaved = QString::fromUtf8("Los cambios no se han guardado.");
  dlg->answers = {kAnswerYes, kAnswerCancel};
  SetWriteFailureForTests(1);
  EXPECT_FALSE(form->FormClose());
  EXPECT_TRUE(form->Modified());
  EXPECT_TRUE(wave->IsOpen());
  ASSERT_EQ(dlg->questions.size(), 3);
  EXPECT_TRUE(dlg->questions[2].startsWith(notSaved));

  // Yes tries again (and fails again, then asks again); No quits unsaved.
  dlg->answers = {kAnswerYes, kAnswerYes, kAnswerNo};
  EXPECT_TRUE(form->FormClose());
  SetWriteFailureForTests(0);
  EXPECT_FALSE(FileExists("datos/Original-1.vl2"));
  ASSERT_EQ(dlg->questions.size(), 6);
  EXPECT_TRUE(dlg->questions[4].startsWith(notSaved));
  EXPECT_TRUE(dlg->questions[5].startsWith(notSaved));
  EXPECT_TRUE(dlg->answers.empty());
}

TEST_F(WindowTest, CloseAnsweredNoQuitsWithoutSaving) {
  Start();
  form->Cambios();
  dlg->answers = {kAnswerNo};
  EXPECT_TRUE(form->FormClose());
  EXPECT_EQ(dlg->questions.size(), 1);
  EXPECT_FALSE(FileExists("datos/Original-1.vl2"));
}

TEST_F(WindowTest, CloseSavesWhenAskedAndClosesTheDevices) {
  Start();
  form->Cambios();
  dlg->answers = {kAnswerYes};
  EXPECT_TRUE(form->FormClose());
  EXPECT_TRUE(FileExists("datos/Original-1.vl2"));
  EXPECT_FALSE(wave->IsOpen());
}

TEST_F(WindowTest, ClosingStopsPlaybackFirst) {
  Start();
  form->botonplayClick();
  ASSERT_NE(form->Engine->PlayState, 0);
  form->Cambios();
  dlg->answers = {kAnswerCancel};
  EXPECT_FALSE(form->FormClose());
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(LogHas("Stop"));

  form->botonplayClick();
  ASSERT_NE(form->Engine->PlayState, 0);
  dlg->answers = {kAnswerNo};
  EXPECT_TRUE(form->FormClose());
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->Timer4->isActive());
  EXPECT_FALSE(wave->IsOpen());
  EXPECT_EQ(wave->QueuedCount(), 0u);
}

TEST_F(WindowTest, TheWindowsCloseAndSalirRunTheCloseOnce) {
  enum class Way { kWindowManager, kSalir };
  for (Way way : {Way::kWindowManager, Way::kSalir}) {
    Start();
    form->show();
    form->Cambios();
    dlg->answers = {kAnswerNo};
    if (way == Way::kWindowManager) {
      QCloseEvent ev;
      QCoreApplication::sendEvent(form->windowHandle(), &ev);
    } else {
      form->Salir1->trigger();
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(dlg->questions.size(), 1);
    EXPECT_FALSE(wave->IsOpen());
    // A further close after the window went asks nothing again.
    form->Salir1->trigger();
    EXPECT_EQ(dlg->questions.size(), 1);
    form.reset();
  }
}

TEST_F(WindowTest, ACancelledCloseKeepsTheWindowAndTheNextOneAsksAgain) {
  Start();
  form->show();
  form->Cambios();
  dlg->answers = {kAnswerCancel, kAnswerNo};
  form->Salir1->trigger();
  EXPECT_TRUE(form->isVisible());
  form->Salir1->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(dlg->questions.size(), 2);
}

TEST_F(WindowTest, ClosingOnTheNewSetRemembersThePreviousOne) {
  SetIni("archivo", "Tangos");
  Start();
  form->Nuevo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Nuevo");
  dlg->answers = {kAnswerNo};  // whatever the new set holds is not kept
  EXPECT_TRUE(form->FormClose());
  EXPECT_EQ(Ini("archivo"), "Tangos");
}

TEST_F(WindowTest, TheNameWrittenAtCloseIsNeverEmpty) {
  Start();
  form->Nuevo1Click();
  form->DataSet.PreviousDataSetName.clear();
  dlg->answers = {kAnswerNo};
  EXPECT_TRUE(form->FormClose());
  EXPECT_EQ(Ini("archivo"), "Original");
}

TEST_F(WindowTest, GuitarSetsAreListed) {
  ScratchFolder::Write("BancoDeSonidos/Requinto/c6.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/Requinto.old/c6.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/Flamenca/c1.wav", {1});
  Start();
  // The factory bank Guitarra and the set that holds a 6th string.
  ASSERT_EQ(form->CBGuitarras->count(), 2);
  EXPECT_EQ(form->CBGuitarras->itemText(0), "Guitarra");
  EXPECT_EQ(form->CBGuitarras->itemText(1), "Requinto");
  EXPECT_EQ(form->CBGuitarras->currentText(), "Guitarra");  // the bank the open loaded
}

// "archivo" naming a set outside the working folder opens Original, says so
// in the log and is written back as Original; a set inside opens.
TEST_F(WindowTest, TheSettingsSetStaysInTheWorkingFolder) {
  for (const char* outside : {"../../../outside/Secreto", "..", "a/b", "/etc/passwd"}) {
    SCOPED_TRACE(outside);
    SetIni("archivo", outside);
    Start();
    EXPECT_EQ(form->DataSet.DataSetName, "Original");
    EXPECT_EQ(form->DataSet.DataSetListPath, "datos/Original.vl2");
    EXPECT_TRUE(LogHas(QString("se abre Original: ") + outside)) << form->Visor->toPlainText().toStdString();
    EXPECT_EQ(Ini("archivo"), "Original");
    form.reset();
  }
  SetIni("archivo", "Tangos viejos");
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Tangos viejos");
  EXPECT_FALSE(LogHas("se abre Original"));
}

// A start that finds the settings as it would write them leaves the file
// alone (each write waits for the disk); a change is written at once.
TEST_F(WindowTest, AStartWritesOnlyTheSettingsThatChange) {
  auto inode = [] {
    struct stat st {};
    return ::stat("DRAV_PROF.ini", &st) == 0 ? st.st_ino : 0;
  };
  Start();
  form.reset();
  QFile f("DRAV_PROF.ini");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  f.close();
  const auto written = inode();
  ASSERT_NE(written, 0u);
  Start();
  EXPECT_EQ(inode(), written);  // the file is replaced on every write
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), text);
  f.close();
  form->Ingls1Click();
  EXPECT_NE(inode(), written);
  EXPECT_EQ(Ini("Idioma"), "Ingles");
}

// A settings file that is none (10 MB of binary bytes) is set aside beside
// the new one and said in the log; the new file is a few lines.
TEST_F(WindowTest, ASettingsFileThatIsNoneIsSetAside) {
  std::vector<uint8_t> junk(10 << 20);
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
  ScratchFolder::Write("DRAV_PROF.ini", junk);
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_TRUE(LogHas("se ha guardado una copia en DRAV_PROF.ini.damaged")) << form->Visor->toPlainText().toStdString();
  EXPECT_EQ(ScratchFolder::Read("DRAV_PROF.ini.damaged"), junk);
  EXPECT_LT(QFileInfo("DRAV_PROF.ini").size(), 200);
  EXPECT_EQ(Ini("archivo"), "Original");
  form.reset();
  // The next start finds a good file: nothing is set aside again.
  Start();
  EXPECT_FALSE(LogHas(".damaged"));
  // A short text file with a NUL in it is no settings file either.
  form.reset();
  ScratchFolder::Write("DRAV_PROF.ini", {'[', 'M', ']', '\n', 'a', '=', 0, '\n'});
  Start();
  EXPECT_TRUE(LogHas("DRAV_PROF.ini.damaged"));
}
