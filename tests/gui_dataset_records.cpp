// The data set in the window: how the open counts and shows what the files
// hold, repaired formulas, save as around the guitar tracks, and new themes
// in a slot that still holds an old record.
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <cstring>
#include <filesystem>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"

namespace {
std::vector<uint8_t> FormulaBytes(int count, uint8_t header) {
  std::vector<uint8_t> b(static_cast<size_t>(count) * sizeof(Formula), 0);
  for (int i = 0; i < count; ++i) {
    b[static_cast<size_t>(i) * 900 + 864] = header;
    const std::string name = "F" + std::to_string(i + 1);
    std::memcpy(&b[static_cast<size_t>(i) * 900 + 881], name.data(), name.size());
  }
  return b;
}

std::vector<uint8_t> TemaBytes(int count) {
  std::vector<uint8_t> b(static_cast<size_t>(count) * sizeof(Tema), 0);
  for (int i = 0; i < count; ++i) {
    Tema t{};
    InitNewTema(t, 120);
    t.SetName("T" + std::to_string(i + 1));
    std::memcpy(&b[static_cast<size_t>(i) * sizeof(Tema)], &t, sizeof t);
  }
  return b;
}

// Dialogs that report a folder change while the first save dialog is up.
class FolderChangingDialogs : public ScriptedDialogs {
 public:
  QString SaveFileName(const FileDialogRequest& r) override {
    if (!changed_ && r.onFolderChange) {
      changed_ = true;
      r.onFolderChange("/somewhere/else");
    }
    return ScriptedDialogs::SaveFileName(r);
  }

 private:
  bool changed_ = false;
};
}  // namespace

TEST_F(WindowTest, OpenCountsWholeRecordsAndShowsOneRowEach) {
  Start();
  const QString list = QString::fromStdString(dir.path() + "/datos/Mio.vl2");
  ScratchFolder::Write("datos/Mio.vl2", ScratchFolder::Read("datos/Original.vl2"));
  struct Case {
    const char* what;
    std::vector<uint8_t> formulas;
    std::vector<uint8_t> temas;
    int formulaCount, temaCount;
    const char* message;  // what the open says of the files
  } cases[] = {
      {"a partial last formula is ignored", [] {
         auto b = FormulaBytes(1, 4);
         b.resize(1000, 0x55);
         return b;
       }(), TemaBytes(2), 1, 2,
       "datos/Mio/formulas.svs no tiene registros completos de 900 bytes: no se leen los 100 bytes del final"},
      {"an empty formulas file", {}, TemaBytes(1), 0, 1, nullptr},
      {"more themes than the table holds", FormulaBytes(2, 4), TemaBytes(kMaxTemas + 3), 2, kMaxTemas,
       "datos/Mio/temas.svs tiene más de 128 registros: solo se leen los 128 primeros"},
  };
  for (const Case& c : cases) {
    dlg->messages.clear();
    ScratchFolder::Write("datos/Mio/formulas.svs", c.formulas);
    ScratchFolder::Write("datos/Mio/temas.svs", c.temas);
    dlg->openNames = {list};
    form->Abrir2Click();
    ASSERT_EQ(form->DataSet.DataSetName, "Mio") << c.what;
    EXPECT_EQ(form->Rhythm->FormulaCount, c.formulaCount) << c.what;
    EXPECT_EQ(form->SGFormulas->RowCount(), c.formulaCount + 1) << c.what;
    EXPECT_EQ(form->Rhythm->TemaCount, c.temaCount) << c.what;
    EXPECT_EQ(form->SGTemas->RowCount(), c.temaCount + 1) << c.what;
    EXPECT_EQ(form->DataSet.FreshSet, c.formulaCount < 2) << c.what;
    if (c.formulaCount > 0) {
      EXPECT_EQ(form->SGFormulas->Cells(2, 1), "F1") << c.what;
    }
    EXPECT_EQ(form->SGTemas->Cells(1, c.temaCount), QString("T%1").arg(c.temaCount)) << c.what;
    EXPECT_FALSE(form->Modified()) << c.what;
    EXPECT_EQ(dlg->messages, c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{}) << c.what;
  }
}

TEST_F(WindowTest, UnusedThemeSlotIsCountedButShowsNothing) {
  auto temas = TemaBytes(3);
  temas[sizeof(Tema)] = 0xFF;  // theme 2 is an unused slot
  ScratchFolder::Write("datos/Mio/formulas.svs", FormulaBytes(2, 4));
  ScratchFolder::Write("datos/Mio/temas.svs", temas);
  ScratchFolder::Write("datos/Mio.vl2", ScratchFolder::Read("datos/Original.vl2"));
  QSettings("DRAV_PROF.ini", QSettings::IniFormat).setValue("METRONOMO/archivo", "Mio");
  Start();
  EXPECT_EQ(form->Rhythm->TemaCount, 3);
  EXPECT_EQ(form->SGTemas->RowCount(), 4);
  EXPECT_EQ(form->SGTemas->Cells(0, 1), "1");
  EXPECT_EQ(form->SGTemas->Cells(0, 2), QString());
  EXPECT_EQ(form->SGTemas->Cells(1, 2), QString());
  EXPECT_EQ(form->SGTemas->Cells(0, 3), "3");
  EXPECT_EQ(form->SGTemas->Cells(1, 3), "T3");
  EXPECT_EQ(static_cast<uint8_t>(form->Rhythm->Temas[1].name[0]), 0xFF);  // read as it is
}

TEST_F(WindowTest, RepairedFormulaKeepsItsRowAndEveryLaterOne) {
  auto formulas = FormulaBytes(3, 4);
  formulas[900 + 864] = 0x3F;  // 15 beats
  formulas[900 + 865] = 2;     // its first track's sound
  ScratchFolder::Write("datos/Mio/formulas.svs", formulas);
  ScratchFolder::Write("datos/Mio.vl2", ScratchFolder::Read("datos/Original.vl2"));
  QSettings("DRAV_PROF.ini", QSettings::IniFormat).setValue("METRONOMO/archivo", "Mio");
  Start();  // no themes file: one theme without entries, so nothing else selects a formula
  EXPECT_EQ(form->Rhythm->FormulaCount, 3);
  ASSERT_EQ(form->SGFormulas->RowCount(), 4);
  const QStringList row2 = {form->SGFormulas->Cells(0, 2), form->SGFormulas->Cells(1, 2),
                            form->SGFormulas->Cells(2, 2), form->SGFormulas->Cells(3, 2)};
  EXPECT_EQ(row2, (QStringList{"2", "12", "Nueva", "1"}));
  EXPECT_EQ(form->SGFormulas->Cells(2, 3), "F3");
  EXPECT_TRUE(LogHas(QString::fromUtf8("Fórmula reparada: 2")));
  // The repaired formula is the one selected and shown.
  EXPECT_EQ(form->SGFormulas->Row(), 2);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 1);
  EXPECT_EQ(form->Label7->text(), "Nueva");
  EXPECT_FALSE(form->Modified());

  // A save writes every record read, the repaired one as repaired.
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
  form->Guardarcomo1Click();
  const auto saved = ScratchFolder::Read("datos/Mio/formulas.svs");
  ASSERT_EQ(saved.size(), 3u * 900);
  EXPECT_EQ(saved[900 + 864], 12);
  EXPECT_EQ(saved[900 + 865], 2);
  EXPECT_EQ(std::memcmp(&saved[900 + 881], "Nueva", 6), 0);
  EXPECT_EQ(std::memcmp(&saved[1800 + 881], "F3", 3), 0);
}

TEST_F(WindowTest, UnreadableRecordFileIsSaid) {
  std::vector<uint8_t> probe;
  if (ReadFileBytes("/proc/self/mem", 16, &probe)) GTEST_SKIP() << "no unreadable file on this system";
  MakeDirs("datos/Mio");
  std::error_code ec;
  std::filesystem::create_symlink("/proc/self/mem", "datos/Mio/formulas.svs", ec);
  ASSERT_FALSE(ec) << ec.message();
  ScratchFolder::Write("datos/Mio.vl2", ScratchFolder::Read("datos/Original.vl2"));
  QSettings("DRAV_PROF.ini", QSettings::IniFormat).setValue("METRONOMO/archivo", "Mio");
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Mio");
  EXPECT_EQ(dlg->messages, QStringList{"No se han podido leer los datos de datos/Mio/formulas.svs"});
}

TEST_F(WindowTest, SaveAsStartsInDatosAndFollowsAFolderChange) {
  Start();
  auto d = std::make_unique<FolderChangingDialogs>();
  dlg = d.get();
  form->dialogs = std::move(d);
  const QString datos = QString::fromStdString(dir.path()) + "/datos";
  const QString cwd = QDir::currentPath() + "/datos";
  dlg->saveNames = {datos + "/Nuevo.vl2", datos + "/Uno.vl2"};
  form->Guardarcomo1Click();
  ASSERT_EQ(dlg->fileRequests.size(), 2u);
  EXPECT_EQ(dlg->fileRequests[0].initialDir, cwd);
  EXPECT_EQ(dlg->fileRequests[1].initialDir, "datos");  // shown again after the refused name
  EXPECT_EQ(form->DataSet.DataSetName, "Uno");
  form->Guardarcomo1Click();  // cancelled
  ASSERT_EQ(dlg->fileRequests.size(), 3u);
  EXPECT_EQ(dlg->fileRequests[2].initialDir, cwd);  // every save as starts in datos
}

TEST_F(WindowTest, FailedSaveAsTouchesNoGuitarTrackNorFolder) {
  Start();
  ScratchFolder::Write("datos/Original/Solea.gtr", {9, 9});
  ScratchFolder::Write("datos/Otro/Solea.gtr", {1});
  const QString datos = QString::fromStdString(dir.path()) + "/datos/";
  struct {
    const char* name;
    bool folderBefore;
  } cases[] = {{"Otro", true}, {"Nuevo2", false}};
  for (const auto& c : cases) {
    dlg->saveNames = {datos + c.name + ".vl2"};
    SetWriteFailureForTests(1);
    form->Guardarcomo1Click();
    SetWriteFailureForTests(0);
    EXPECT_EQ(form->DataSet.DataSetName, "Original") << c.name;
    EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Original") << c.name;
    EXPECT_EQ(DirExists(std::string("datos/") + c.name), c.folderBefore) << c.name;
    EXPECT_FALSE(LogHas("datos/Original/Solea.gtr")) << c.name;
  }
  EXPECT_EQ(ScratchFolder::Read("datos/Otro/Solea.gtr"), (std::vector<uint8_t>{1}));

  // Once the save succeeds the tracks follow.
  dlg->saveNames = {datos + "Otro.vl2"};
  form->Guardarcomo1Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Otro");
  EXPECT_EQ(ScratchFolder::Read("datos/Otro/Solea.gtr"), (std::vector<uint8_t>{9, 9}));
  EXPECT_TRUE(LogHas("datos/Original/Solea.gtr"));
}

TEST_F(WindowTest, NewThemeInASlotThatStillHoldsAnOldOne) {
  Start();
  const int n = form->SGTemas->RowCount() - 1;
  ASSERT_GE(n, 2);
  ASSERT_GT(form->Rhythm->Temas[n - 1].entryCount, 0);
  // The last row goes as a deletion leaves it: the record stays in its slot.
  form->Rhythm->TemaCount = n - 1;
  form->SGTemas->SetRowCount(n);
  form->SGTemas->Select(1, 1);
  form->Nuevotema1Click();
  const Tema& t = form->Rhythm->Temas[n - 1];
  EXPECT_EQ(form->SGTemas->RowCount(), n + 1);
  EXPECT_EQ(form->SGTemas->Cells(1, n), QString());
  EXPECT_EQ(t.Name(), "");
  EXPECT_EQ(t.entryCount, 0);
  for (int e = 0; e < kEntrySlots; ++e) {
    EXPECT_EQ(t.times[e], 0) << e;
    EXPECT_EQ(t.formulas[e], 0) << e;
    EXPECT_EQ(t.accel[e], 0) << e;
    if (e > 0) {
      EXPECT_EQ(t.tempos[e], 0) << e;
    }
  }
  EXPECT_EQ(t.tempos[0], 420 - form->TB2->value());
  EXPECT_TRUE(t.InOrder());
  EXPECT_EQ(t.Parts(), 0);
  EXPECT_EQ(t.introEnding, 0);
  EXPECT_FLOAT_EQ(t.gain, 1.0f);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(t.pan[i], 16) << i;
    EXPECT_EQ(t.volume[i], 8) << i;
  }
}
