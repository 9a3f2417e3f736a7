#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QSettings>

#include "gui_fixture.h"
#include "platform/atomic_file.h"

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

TEST_F(WindowTest, StartUpRunsItsStepsInOrder) {
  Start();
  const std::vector<std::string> want = {
      "ProbeHidDevice", "RegisterIosService", "MiMain",         "Streams",      "TunerNeedle",
      "Random",         "FindDeviceSerialPort", "Settings",     "CommandLine",  "TunerInput",
      "Fretboard",      "Language",       "FftConstants",       "WaveOut",      "WaveIn",
      "ControlArrays",  "OpenDeviceSerialPort", "OpenDataSet",  "NSerieMetronomo", "GuitarSets"};
  EXPECT_EQ(form->StartupSteps, want);
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

TEST_F(WindowTest, CommandLineNamesTheSet) {
  for (const char* name : {"Tangos", "Bulerias 1"}) {
    auto d = std::make_unique<ScriptedDialogs>();
    TMainForm::Options o;
    o.dialogs = std::move(d);
    o.waveOut = audio::CreateTestWaveOut();
    o.waveIn = audio::CreateTestWaveIn();
    o.commandLineList = QString("datos/%1.vl2").arg(name);
    form = std::make_unique<TMainForm>(std::move(o));
    form->FormCreate();
    EXPECT_EQ(form->DataSet.DataSetName, name);
    EXPECT_EQ(Ini("archivo"), name);
    EXPECT_TRUE(FileExists(std::string("datos/") + name + ".vl2"));
    form.reset();
  }
}

TEST_F(WindowTest, CloseWithChangesAndTheThreeAnswers) {
  Start();
  form->Cambios();
  dlg->answers = {kAnswerCancel};
  EXPECT_FALSE(form->FormClose());
  EXPECT_TRUE(form->Modified());

  dlg->answers = {kAnswerYes};
  SetWriteFailureForTests(1);
  EXPECT_FALSE(form->FormClose());  // the save failed: the program stays
  SetWriteFailureForTests(0);
  EXPECT_TRUE(form->Modified());

  dlg->answers = {kAnswerNo};
  EXPECT_TRUE(form->FormClose());
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

TEST_F(WindowTest, ClosingOnTheNewSetRemembersThePreviousOne) {
  SetIni("archivo", "Tangos");
  Start();
  form->Nuevo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Nuevo");
  dlg->answers = {kAnswerNo};  // whatever the new set holds is not kept
  EXPECT_TRUE(form->FormClose());
  EXPECT_EQ(Ini("archivo"), "Tangos");
}

TEST_F(WindowTest, GuitarSetsAreListed) {
  ScratchFolder::Write("BancoDeSonidos/Requinto/c6.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/Requinto.old/c6.wav", {1});
  Start();
  ASSERT_EQ(form->CBGuitarras->count(), 1);
  EXPECT_EQ(form->CBGuitarras->itemText(0), "Requinto");
  EXPECT_EQ(form->CBGuitarras->currentIndex(), -1);
}
