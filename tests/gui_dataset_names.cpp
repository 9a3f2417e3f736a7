// Set names with letters beyond ASCII: the name stays Latin-1 inside the
// program, its files carry the file system's (UTF-8) name.
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <filesystem>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"

namespace {
const std::string kLatin1Name = "Buler\xED" "as";                 // as records and the title hold it
const std::string kUtf8List = "datos/Buler\xC3\xAD" "as.vl2";     // as the file system names it
const std::string kUtf8Folder = "datos/Buler\xC3\xAD" "as";
const std::string kLatin1List = "datos/Buler\xED" "as.vl2";

QString IniValue(const char* key) {
  QSettings s("DRAV_PROF.ini", QSettings::IniFormat);
  return s.value(QString("METRONOMO/") + key).toString();
}
}  // namespace

TEST_F(WindowTest, ASetNamedWithAnAccentSavesReopensAndComesBackAtStart) {
  Start();
  const QString listPath = QString::fromStdString(dir.path()) + QString::fromUtf8("/datos/Bulerías.vl2");
  dlg->saveNames = {listPath};
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, kLatin1Name);
  EXPECT_TRUE(FileExists(kUtf8List));
  EXPECT_TRUE(FileExists(kUtf8Folder + "/formulas.svs"));
  EXPECT_TRUE(FileExists(kUtf8Folder + "/temas.svs"));
  EXPECT_FALSE(std::filesystem::exists(kLatin1List));
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Velarto Quendrel - Bulerías"));
  EXPECT_EQ(IniValue("archivo"), QString::fromUtf8("Bulerías"));
  // Qt's listing (and so its file dialog) shows the set under its own name.
  EXPECT_TRUE(QDir("datos").entryList({"*.vl2"}).contains(QString::fromUtf8("Bulerías.vl2")));

  // An edit saved and read back.
  form->Rhythm->Formulas[0].SetName("Cambiada");
  form->Cambios();
  dlg->answers = {kAnswerYes};
  ASSERT_TRUE(form->SaveDataSet());
  form->Original1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Original");
  dlg->openNames = {listPath};
  form->Abrir2Click();
  EXPECT_EQ(form->DataSet.DataSetName, kLatin1Name);
  EXPECT_EQ(form->Rhythm->Formulas[0].Name(), "Cambiada");
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join("\n").toStdString();

  // The next start opens it from the settings, and makes no other set.
  form.reset();
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, kLatin1Name);
  EXPECT_EQ(form->Rhythm->Formulas[0].Name(), "Cambiada");
  EXPECT_EQ(IniValue("archivo"), QString::fromUtf8("Bulerías"));
  EXPECT_FALSE(std::filesystem::exists(kLatin1List));
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join("\n").toStdString();
}
