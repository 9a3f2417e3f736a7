// The basic window's data-set commands on a scratch working folder: New and
// Original leaving a changed set, saves that cannot be written, save as
// with its refused names, the open of repaired and empty record files, the
// cancelled open and undo all.
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <filesystem>

#include "platform/ui/settings.h"
#include "basic_gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/formats_v1.h"
#include "rhythm/editor_logic.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> b;
  ReadFileBytes(path, 1 << 24, &b);
  return b;
}

class BasicDataSetTest : public BasicWindowTest {
 protected:
  void TearDown() override { SetWriteFailureForTests(0); }
  void OpenSet(const std::string& name) {
    dlg->openNames.push_back(QDir::currentPath() + "/datos/" + QString::fromStdString(name) + ".ole");
    form->Abrir2Click();
  }
  // Original saved as `name` and open.
  void MakeSet(const std::string& name) {
    form->Original1Click();
    dlg->saveNames.push_back(QDir::currentPath() + "/datos/" + QString::fromStdString(name) + ".ole");
    form->Guardarcomo1Click();
    ASSERT_EQ(form->DataSet.DataSetName, name);
    ASSERT_FALSE(form->Modified());
  }
  void RenameFirstTheme(const QString& name) {
    form->SGTemas->SetCells(1, 1, name);
    form->SGTemasSetEditText(1, 1, name);
    ASSERT_TRUE(form->Modified());
  }
  std::string FirstThemeOnDisk(const std::string& set) {
    std::vector<TemaV1> tv;
    if (!ReadTemasV1("datos/" + set + "/temas.van", &tv) || tv.empty()) return {};
    return tv[0].Name();
  }
};

}  // namespace

// New and Original leave the open set: its changes are saved under its own
// name (the question, no save-as dialog), or dropped after No without a
// second question. Closing on the unsaved new set keeps the set before it.
TEST_F(BasicDataSetTest, NewAndOriginalSaveTheChangedSetUnderItsOwnName) {
  Start();
  MakeSet("Mio");
  RenameFirstTheme("Guardado");
  const size_t dialogs = dlg->fileRequests.size();
  dlg->answers.push_back(kAnswerYes);
  form->Nuevo1Click();
  EXPECT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->fileRequests.size(), dialogs);
  EXPECT_EQ(FirstThemeOnDisk("Mio"), "Guardado");
  EXPECT_EQ(form->DataSet.DataSetName, "Nuevo");

  form->ClearModified();  // the new set's own change (its theme in order) is not at stake here
  OpenSet("Mio");
  ASSERT_EQ(form->DataSet.DataSetName, "Mio");
  RenameFirstTheme("Perdido");
  const int questions = dlg->questions.size();
  const size_t opened = dlg->fileRequests.size();
  dlg->answers.push_back(kAnswerNo);
  form->Original1Click();
  EXPECT_EQ(dlg->questions.size(), questions + 1);  // asked once
  EXPECT_EQ(dlg->fileRequests.size(), opened);
  EXPECT_EQ(FirstThemeOnDisk("Mio"), "Guardado");
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_FALSE(form->Modified());

  OpenSet("Mio");
  form->Nuevo1Click();
  form->Nuevo1Click();  // a new set again: the set to go back to stays Mio
  ASSERT_EQ(form->DataSet.DataSetName, "Nuevo");
  dlg->answers.push_back(kAnswerNo);  // a changed new set left unsaved: quit without saving
  EXPECT_TRUE(form->FormClose());
  EXPECT_EQ(form->SettingsIniFile->ReadString("METRONOMO", "archivo", QString()), "Mio");
}

// A save whose files cannot be written says why and keeps the mark and the
// old files; an open then keeps the set open; save as keeps the old name
// and leaves no folder of the new one.
TEST_F(BasicDataSetTest, FailedWritesKeepTheChangesAndTheFiles) {
  Start();
  MakeSet("Mio");
  const auto before = Bytes("datos/Mio/temas.van");
  form->Visor->clear();
  RenameFirstTheme("Cambiado");
  SetWriteFailureForTests(2);
  dlg->messages.clear();
  dlg->answers.push_back(kAnswerYes);
  form->botonrecClick();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("No se han podido guardar los datos"));
  EXPECT_TRUE(form->botonrec->isEnabled());
  EXPECT_EQ(Bytes("datos/Mio/temas.van"), before);
  EXPECT_FALSE(form->Visor->toPlainText().contains("Datos guardados"));

  const size_t dialogs = dlg->fileRequests.size();
  dlg->openNames.push_back(QDir::currentPath() + "/datos/Original.ole");
  dlg->answers.push_back(kAnswerYes);
  form->Abrir2Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Mio");
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(form->SGTemas->Cells(1, 1), "Cambiado");
  EXPECT_EQ(dlg->fileRequests.size(), dialogs);  // the open went no further

  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Otro.ole");
  form->Guardarcomo1Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Mio");
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Mio");
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(fs::exists("datos/Otro"));
  EXPECT_FALSE(fs::exists("datos/Otro.ole"));
  EXPECT_FALSE(form->DataSet.SaveWithoutAsking);

  SetWriteFailureForTests(0);
  dlg->answers.push_back(kAnswerYes);
  form->botonrecClick();
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(FirstThemeOnDisk("Mio"), "Cambiado");
}

// Save as refuses Original and Nuevo at the end of any name, in any case,
// with its message, and a path outside a datos folder without one; then it
// copies the set's sounds, listing each, and saves without a question.
TEST_F(BasicDataSetTest, SaveAsRefusedNamesAndTheCopiedSounds) {
  Start();
  form->Original1Click();
  form->Visor->clear();
  dlg->messages.clear();
  const QString datos = QDir::currentPath() + "/datos/";
  dlg->saveNames = {datos + "ORIGINAL.ole", datos + "MiNuevo", QDir::currentPath() + "/otros/Fuera.ole",
                    datos + "Bueno"};
  const size_t dialogs = dlg->fileRequests.size();
  form->Guardarcomo1Click();
  EXPECT_EQ(dlg->fileRequests.size(), dialogs + 4);
  ASSERT_EQ(dlg->messages.size(), 2);
  EXPECT_EQ(dlg->messages[0], "Seleccione un nombre distinto a Original o Nuevo");
  EXPECT_EQ(dlg->fileRequests.back().filter, "Archivos con arte|*.ole");
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_EQ(form->DataSet.DataSetName, "Bueno");
  EXPECT_EQ(form->GB1->title(), "Bueno");
  EXPECT_FALSE(form->Modified());
  const QStringList lines = VisorLines();
  for (const auto& e : fs::directory_iterator("datos/Original")) {
    if (e.path().extension() != ".wav") continue;
    EXPECT_EQ(Bytes("datos/Bueno/" + e.path().filename().string()), Bytes(e.path().string()));
    EXPECT_TRUE(lines.contains(QString::fromStdString("datos/Original/" + e.path().filename().string())));
  }
  EXPECT_TRUE(lines.contains("Datos guardados"));
  EXPECT_EQ(form->LBwavs->count(), form->LBIns->count());
  EXPECT_EQ(form->SettingsIniFile->ReadString("METRONOMO", "archivo", QString()), "Bueno");
}

// A formula of more than 12 beats is repaired where it stands and every
// record stays; a formula file of no whole record gives a grid without a
// data row, and formulas added then are saved.
TEST_F(BasicDataSetTest, OpenRepairsInPlaceAndTakesEmptyFiles) {
  Start();
  MakeSet("Mio");
  std::vector<uint8_t> three(256 * 3, 0);
  for (int i = 0; i < 3; ++i) three[256 * i + 240] = 4;
  three[256 + 240] = 13;
  std::memcpy(three.data() + 2 * 256 + 249, "Final", 5);
  std::string err;
  ASSERT_TRUE(WriteFileAtomically("datos/Mio/formulas.van", three, &err)) << err;
  form->Visor->clear();
  OpenSet("Mio");
  ASSERT_EQ(form->SGFormulas->RowCount(), 4);
  EXPECT_EQ(form->SGFormulas->Cells(2, 2), "Nueva");
  EXPECT_EQ(form->SGFormulas->Cells(1, 2), "12");
  EXPECT_EQ(form->SGFormulas->Cells(2, 3), "Final");
  EXPECT_TRUE(VisorLines().contains(QString::fromUtf8("Fórmula reparada: 2")));
  form->SGTemasSetEditText(1, 1, "Otro");
  dlg->answers.push_back(kAnswerYes);
  form->botonrecClick();
  std::vector<FormulaV1> fv;
  ASSERT_TRUE(ReadFormulasV1("datos/Mio/formulas.van", &fv));
  ASSERT_EQ(fv.size(), 3u);
  EXPECT_EQ(fv[1].Beats(), 12);
  EXPECT_EQ(fv[2].Name(), "Final");

  ASSERT_TRUE(WriteFileAtomically("datos/Mio/formulas.van", {}, &err)) << err;
  OpenSet("Mio");
  EXPECT_EQ(form->SGFormulas->RowCount(), 1);
  EXPECT_TRUE(form->DataSet.FreshSet);
  form->Nuevafrmula1Click();
  form->Nuevafrmula1Click();
  ASSERT_EQ(form->SGFormulas->RowCount(), 3);
  dlg->answers.push_back(kAnswerYes);
  form->botonrecClick();
  ASSERT_TRUE(ReadFormulasV1("datos/Mio/formulas.van", &fv));
  EXPECT_EQ(fv.size(), 2u);
}

// Cancel in the open dialog reads the open set again from disk (its changes
// gone after No); undo all reads it again and keeps the grids' places.
TEST_F(BasicDataSetTest, CancelledOpenAndUndoAllReadTheSetAgain) {
  Start();
  MakeSet("Mio");
  RenameFirstTheme("Perdido");
  dlg->answers.push_back(kAnswerNo);
  form->Abrir2Click();  // no name: the dialog is cancelled
  EXPECT_EQ(form->DataSet.DataSetName, "Mio");
  EXPECT_NE(form->SGTemas->Cells(1, 1), "Perdido");
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(dlg->fileRequests.back().title, "Seleecione un archivo de datos PELN");

  ASSERT_GE(form->SGFormulas->RowCount(), 4);
  ASSERT_GE(form->SGTemas->RowCount(), 3);
  form->SGFormulas->Select(2, 3);
  form->SGFormulasSelectCell(2, 3);
  form->SGTemas->Select(1, 2);
  form->SGTemasSelectCell(1, 2);
  const QString name = form->SGTemas->Cells(1, 2);
  form->SGTemas->SetCells(1, 2, "Deshecho");
  form->SGTemasSetEditText(1, 2, "Deshecho");
  ASSERT_TRUE(form->Modified());
  const int formulaRow = form->SGFormulas->Row();
  ASSERT_GT(formulaRow, 1);
  const int questions = dlg->questions.size();
  form->Deshacertodo1Click();
  EXPECT_EQ(dlg->questions.size(), questions);
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(form->SGTemas->Cells(1, 2), name);
  EXPECT_EQ(form->SGFormulas->Row(), formulaRow);
  EXPECT_EQ(form->SGTemas->Row(), 2);
}

// Damaged record files (random bytes, empty, cut short, 1 MB) open with
// every value in range and one message per file that names it; the files
// stay as they are until the set is saved.
TEST_F(BasicDataSetTest, DamagedRecordFilesOpenInRangeWithOneMessageEach) {
  Start();
  MakeSet("Mio");
  auto random = [](size_t n, unsigned seed) {
    std::vector<uint8_t> b(n);
    unsigned x = seed;
    for (auto& v : b) v = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 16);
    return b;
  };
  const struct Case {
    const char* what;
    std::vector<uint8_t> formulas, temas;
    int formulaCount, temaCount;
  } cases[] = {
      {"random bytes", random(6 * 256, 1), random(4 * 512, 2), 6, 4},
      {"empty", {}, {}, 0, 0},
      {"cut short", random(2 * 256 + 3, 3), random(511, 4), 2, 0},
      {"1 MB", random(1 << 20, 5), random(1 << 20, 6), kMaxFormulas, kMaxTemas},
  };
  std::string err;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFileAtomically("datos/Mio/formulas.van", c.formulas, &err)) << err;
    ASSERT_TRUE(WriteFileAtomically("datos/Mio/temas.van", c.temas, &err)) << err;
    dlg->messages.clear();
    OpenSet("Mio");
    ASSERT_EQ(form->DataSet.DataSetName, "Mio");
    EXPECT_EQ(form->Rhythm->FormulaCount, c.formulaCount);
    EXPECT_EQ(form->Rhythm->TemaCount, c.temaCount);
    for (int i = 0; i < form->Rhythm->FormulaCount; ++i)
      for (uint8_t s : form->Rhythm->Formulas[static_cast<size_t>(i)].sounds)
        EXPECT_LE(s, static_cast<int>(form->SoundList.size()));
    for (int i = 0; i < form->Rhythm->TemaCount; ++i) {
      const Tema& t = form->Rhythm->Temas[static_cast<size_t>(i)];
      EXPECT_GE(t.tempos[0], 20);
      EXPECT_LE(t.tempos[0], 400);
      EXPECT_LE(t.entryCount, kEntriesV1);
      EXPECT_LE(t.Intro(), 12);
    }
    int formulasMessages = 0, temasMessages = 0;
    for (const QString& m : dlg->messages) {
      formulasMessages += m.startsWith("datos/Mio/formulas.van");
      temasMessages += m.startsWith("datos/Mio/temas.van");
    }
    EXPECT_EQ(formulasMessages + temasMessages, dlg->messages.size()) << dlg->messages.join("|").toStdString();
    const bool damaged = std::string(c.what) != "empty";
    EXPECT_EQ(formulasMessages, damaged ? 1 : 0);
    EXPECT_EQ(temasMessages, damaged ? 1 : 0);
    EXPECT_EQ(Bytes("datos/Mio/formulas.van"), c.formulas);
    EXPECT_EQ(Bytes("datos/Mio/temas.van"), c.temas);
    EXPECT_FALSE(form->Modified());
    // The sequence grid and the editor state name the same theme; an open
    // that left the grid empty leaves no theme of the set before named.
    if (form->Rhythm->TemaCount > 0) {
      EXPECT_EQ(form->Pages.ShownTema, 0);
      EXPECT_EQ(form->SGSaco->RowCount(), EntriesOf(form->Rhythm->Temas[0]) + 2);
    } else {
      EXPECT_EQ(form->Pages.ShownTema, -1);
      EXPECT_EQ(form->EditedTema(), -1);
      EXPECT_EQ(form->SGSaco->RowCount(), 2);
    }
  }
  // In English the message is English.
  form->Ingls1Click();
  ASSERT_TRUE(WriteFileAtomically("datos/Mio/temas.van", random(2 * 512, 9), &err)) << err;
  dlg->messages.clear();
  OpenSet("Mio");
  ASSERT_FALSE(dlg->messages.filter("datos/Mio/temas.van").isEmpty());
  EXPECT_TRUE(dlg->messages.filter("datos/Mio/temas.van")[0].contains("records were out of range and mended"));
}
