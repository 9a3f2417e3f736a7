// Library commands in the real window: theme import dialog, converter of
// older sets, formula and theme clipboards, deletion, sorting, search and
// stepping.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <cstring>
#include <functional>
#include <filesystem>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "app/window/form_import.h"
#include "rhythm/formats_v1.h"

namespace {
Formula MakeFormula(int seed, int beats, const std::string& name) {
  Formula f{};
  f.SetHeader(beats, 0);
  for (int b = 0; b < kMaxBeats; ++b)
    for (int t = 0; t < kTracks; ++t) {
      f.cells[b][t] = (seed * 131 + b * 17 + t * 5) & 0777;  // three strokes
      f.SetStrokeCount(b, t, 3);
    }
  for (int t = 0; t < kTracks; ++t) f.sounds[t] = static_cast<uint8_t>(1 + (seed + t) % 4);
  f.SetName(name);
  f.accents = static_cast<uint16_t>(seed & 0x0FFF);
  return f;
}
Tema MakeTema(const std::string& name, const std::vector<int>& entries) {
  Tema t{};
  InitNewTema(t, 120);
  t.SetName(name);
  t.partsOrder = 0x80;
  t.gain = 1.0f;
  t.entryCount = static_cast<uint16_t>(entries.size());
  for (size_t e = 0; e < entries.size(); ++e) {
    t.formulas[e] = static_cast<uint16_t>(entries[e]);
    t.times[e] = 1;
  }
  return t;
}
std::vector<int> Entries(const Tema& t) {
  std::vector<int> v;
  for (int e = 0; e < t.entryCount; ++e) v.push_back(t.formulas[e]);
  return v;
}
template <class R>
std::vector<uint8_t> Bytes(const std::vector<R>& records) {
  std::vector<uint8_t> b(records.size() * sizeof(R));
  if (!records.empty()) std::memcpy(b.data(), records.data(), b.size());
  return b;
}
// A set of the current generation under datos/<name>.
void WriteSet(const std::string& name, const std::vector<Formula>& fs, const std::vector<Tema>& ts) {
  if (name != "Original") ScratchFolder::Write("datos/" + name + ".vl2", ScratchFolder::Read("datos/Original.vl2"));
  ScratchFolder::Write("datos/" + name + "/formulas.svs", Bytes(fs));
  ScratchFolder::Write("datos/" + name + "/temas.svs", Bytes(ts));
}
std::vector<Formula> Numbered(int n) {
  std::vector<Formula> fs;
  for (int i = 0; i < n; ++i) fs.push_back(MakeFormula(i, 12, "F" + std::to_string(i)));
  return fs;
}
QString Here(const std::string& rel) { return QDir::currentPath() + "/" + QString::fromStdString(rel); }
}  // namespace

class LibraryTest : public WindowTest {
 protected:
  void StartLibrary() {
    Start();
    form->BuildLibraryControls();
    form->CreateImportDialog();
    form->FormImportar->RunModal = false;
  }
  int LogCount(const QString& prefix) const {
    int n = 0;
    for (const QString& l : form->Visor->toPlainText().split('\n'))
      if (l.startsWith(prefix)) ++n;
    return n;
  }
  TFormImportar* Dialog() const { return form->FormImportar; }
  void OpenImport(const std::string& listPath) {
    dlg->openNames = {Here(listPath)};
    form->ImportarTEMA1Click();
  }
};

// --- theme import -----------------------------------------------------------------

TEST_F(LibraryTest, ImportAppendsOnlyTheFormulasTheOpenSetLacks) {
  WriteSet("Original", Numbered(10), {MakeTema("Base", {0})});
  std::vector<Formula> other;
  for (int i = 0; i < 7; ++i) other.push_back(MakeFormula(60 + i, 12, "O" + std::to_string(i)));
  other[2] = MakeFormula(50, 8, "Nueva2");
  other[5] = MakeFormula(9, 12, "Fnueve");  // formula 9 of the open set but for the rest of its name
  WriteSet("Otro", other, {MakeTema("Alegrias", {2, 5, 2}), MakeTema("Tangos", {0}), MakeTema("ALEGRIAS", {1})});
  ScratchFolder::Write("datos/Otro/Alegrias.gtr", {1, 2, 3});
  StartLibrary();
  ASSERT_EQ(form->SGFormulas->RowCount(), 11);

  OpenImport("datos/Otro.vl2");
  ASSERT_FALSE(dlg->fileRequests.empty());
  EXPECT_EQ(dlg->fileRequests.back().title, "Seleccione un archivo de datos DRAVv2");
  EXPECT_EQ(dlg->fileRequests.back().initialDir, QDir::currentPath() + "/datos");
  EXPECT_EQ(Dialog()->windowTitle(), "Importar TEMAS");
  EXPECT_EQ(Dialog()->Button1->text(), "Importar");
  EXPECT_EQ(Dialog()->Label1->text(), Here("datos/Otro"));
  EXPECT_TRUE(Dialog()->isVisible());
  ASSERT_EQ(Dialog()->LB1->count(), 3);
  EXPECT_EQ(Dialog()->LB1->currentRow(), 0);

  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  ASSERT_EQ(form->SGTemas->RowCount(), 3);
  EXPECT_EQ(form->SGTemas->Cells(0, 2), "2");
  EXPECT_EQ(form->SGTemas->Cells(1, 2), "Alegrias");
  EXPECT_EQ(Entries(form->Rhythm->Temas[1]), (std::vector<int>{10, 9, 10}));
  ASSERT_EQ(form->SGFormulas->RowCount(), 12);
  EXPECT_EQ(form->SGFormulas->Cells(0, 11), "11");
  EXPECT_EQ(form->SGFormulas->Cells(1, 11), "8");
  EXPECT_EQ(form->SGFormulas->Cells(2, 11), "Nueva2");
  EXPECT_EQ(form->SGFormulas->Cells(3, 11), "1");
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[10], &other[2], sizeof(Formula)), 0);
  EXPECT_TRUE(LogHas("Importando Tema: Alegrias"));
  EXPECT_EQ(LogCount(QString::fromUtf8("Añadiendo fórmula: ")), 1);
  EXPECT_TRUE(LogHas(QString::fromUtf8("Añadiendo fórmula: Nueva2")));
  EXPECT_EQ(ScratchFolder::Read("datos/Original/Alegrias.gtr"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(form->SGTemas->Row(), 2);
  EXPECT_EQ(form->Label2->text(), "Tema 2: Alegrias") << "the new theme is selected";
  EXPECT_TRUE(form->Modified());

  // Only once into this set, whatever the case of the name.
  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  ASSERT_TRUE(Dialog()->ChooseAndImport("ALEGRIAS"));
  EXPECT_EQ(form->SGTemas->RowCount(), 3);
  EXPECT_EQ(form->SGFormulas->RowCount(), 12);
  EXPECT_EQ(LogCount("Importando Tema: "), 1);
  EXPECT_EQ(Dialog()->ItemTextColor(0, false), QColor(255, 0, 0));
  EXPECT_EQ(Dialog()->ItemTextColor(2, true), QColor(255, 0, 0));
  EXPECT_NE(Dialog()->ItemTextColor(1, false), QColor(255, 0, 0));
}

TEST_F(LibraryTest, ImportedNamesAreDrawnRedAtOnce) {
  WriteSet("Otro", Numbered(2), {MakeTema("Alegrias", {0}), MakeTema("Tangos", {1})});
  StartLibrary();
  OpenImport("datos/Otro.vl2");
  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  Dialog()->LB1->setCurrentRow(-1);  // neither item drawn selected
  QApplication::processEvents();
  const QImage shot = Dialog()->LB1->viewport()->grab().toImage();
  auto redPixels = [&](int item) {
    const QRect r = Dialog()->LB1->visualItemRect(Dialog()->LB1->item(item)).intersected(shot.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        const QColor c = shot.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++n;
      }
    return n;
  };
  EXPECT_EQ(Dialog()->LB1->visualItemRect(Dialog()->LB1->item(1)).height(), 20);
  EXPECT_GT(redPixels(0), 0);
  EXPECT_EQ(redPixels(1), 0);
}

TEST_F(LibraryTest, AnotherOpenSetTakesTheSameThemeAgain) {
  WriteSet("Otro", Numbered(2), {MakeTema("Alegrias", {1})});
  StartLibrary();
  OpenImport("datos/Otro.vl2");
  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  ASSERT_EQ(form->SGTemas->RowCount(), form->Rhythm->TemaCount + 1);
  Dialog()->close();

  dlg->answers = {kAnswerNo};  // drop the import's changes
  form->Nuevo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Nuevo");
  const int rows = form->SGTemas->RowCount();
  OpenImport("datos/Otro.vl2");
  EXPECT_NE(Dialog()->ItemTextColor(0, false), QColor(255, 0, 0));
  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  EXPECT_EQ(form->SGTemas->RowCount(), rows + 1);
  EXPECT_EQ(form->SGTemas->Cells(1, rows), "Alegrias");
}

TEST_F(LibraryTest, AThemeNameWithASlashFindsNoGuitarFile) {
  WriteSet("Otro", Numbered(1), {MakeTema("Rumba/Tango", {0})});
  ScratchFolder::Write("datos/Otro/Rumba/Tango.gtr", {7, 7});
  std::filesystem::create_directories("datos/Original/Rumba");  // a copy there would succeed
  StartLibrary();
  const int rows = form->SGTemas->RowCount();
  OpenImport("datos/Otro.vl2");
  ASSERT_TRUE(Dialog()->ChooseAndImport("Rumba/Tango"));
  EXPECT_EQ(form->SGTemas->RowCount(), rows + 1);
  EXPECT_EQ(form->SGTemas->Cells(1, rows), "Rumba/Tango");
  EXPECT_FALSE(std::filesystem::exists("datos/Original/Rumba/Tango.gtr"));
  EXPECT_FALSE(std::filesystem::exists("datos/Original/Rumba.gtr"));
}

TEST_F(LibraryTest, AnIncompleteOtherSetClosesTheDialogAtOnce) {
  ScratchFolder::Write("datos/Medio.vl2", {'x'});
  std::vector<Tema> ts = {MakeTema("Solo temas", {0})};
  ScratchFolder::Write("datos/Medio/temas.svs", Bytes(ts));
  StartLibrary();
  const int rows = form->SGTemas->RowCount();
  OpenImport("datos/Medio.vl2");
  EXPECT_TRUE(Dialog()->CloseRequested);
  EXPECT_FALSE(Dialog()->isVisible());
  EXPECT_EQ(Dialog()->LB1->count(), 1);

  // A cancelled or missing choice does nothing at all.
  Dialog()->ImportPath = "unchanged";
  dlg->openNames = {};
  form->ImportarTEMA1Click();
  dlg->openNames = {Here("datos/NoExiste.vl2")};
  form->ImportarTEMA1Click();
  EXPECT_EQ(Dialog()->ImportPath, "unchanged");
  EXPECT_EQ(form->SGTemas->RowCount(), rows);
}

TEST_F(LibraryTest, AFullThemeTableRefusesTheImport) {
  std::vector<Tema> full;
  for (int i = 0; i < kMaxTemas; ++i) full.push_back(MakeTema("T" + std::to_string(i), {0}));
  WriteSet("Original", Numbered(1), full);
  WriteSet("Otro", Numbered(1), {MakeTema("Alegrias", {0})});
  StartLibrary();
  OpenImport("datos/Otro.vl2");
  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  EXPECT_EQ(dlg->messages.value(0), QString::fromUtf8("No caben más temas (128)"));
  EXPECT_EQ(form->SGTemas->RowCount(), kMaxTemas + 1);
  EXPECT_FALSE(form->Modified());
  EXPECT_NE(Dialog()->ItemTextColor(0, false), QColor(255, 0, 0)) << "a refused theme is not marked imported";
}

// --- converter of older sets ------------------------------------------------------

namespace {
void WriteOldSet(const std::string& name) {
  FormulaV1 a{};
  a.header = 4;
  a.cells[0][0] = 3 | (1 << 4) | (2 << 6);
  a.SetStrokeCount(0, 0, 4);
  a.sounds[0] = 1;
  a.SetName("Tango");
  FormulaV1 bad = a;
  bad.header = 14;
  TemaV1 t{};
  t.SetName("Tangos viejos");
  t.entryCount = 2;
  t.formulas[1] = 1;
  t.times[0] = t.times[1] = 1;
  t.tempo = 140;
  t.partsOrder = 0x80;
  t.gain = 1.0f;
  ScratchFolder::Write("datos/" + name + ".ole", ScratchFolder::Read("datos/Original.vl2"));
  ScratchFolder::Write("datos/" + name + "/formulas.van", Bytes(std::vector<FormulaV1>{a, bad}));
  ScratchFolder::Write("datos/" + name + "/temas.van", Bytes(std::vector<TemaV1>{t}));
}
}  // namespace

TEST_F(LibraryTest, ConvertingAnOlderSetOpensItAsTheCurrentOne) {
  WriteOldSet("Viejo");
  StartLibrary();
  dlg->openNames = {Here("datos/Viejo")};  // ".ole" is added
  form->ImportarPELNv1Click();
  ASSERT_FALSE(dlg->fileRequests.empty());
  EXPECT_EQ(dlg->fileRequests.back().title, "Importar archivo DRAVv1");
  EXPECT_EQ(dlg->fileRequests.back().filter, "Archivos DRAVv1|*.ole");
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_EQ(form->DataSet.DataSetName, "Viejo");
  EXPECT_EQ(form->DataSet.DataSetListPath, ToL1(Here("datos/Viejo.vl2")));
  EXPECT_EQ(form->Label21->text(), "Viejo");
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Viejo");
  EXPECT_EQ(ScratchFolder::Read("datos/Viejo.vl2"), ScratchFolder::Read("datos/Viejo.ole"));
  EXPECT_EQ(form->LBIns->count(), static_cast<int>(SplitLines(ScratchFolder::Read("datos/Viejo.ole")).size()));
  EXPECT_EQ(ScratchFolder::Read("datos/Viejo/formulas.svs").size(), 2 * sizeof(Formula));
  ASSERT_EQ(form->SGFormulas->RowCount(), 3);
  EXPECT_EQ(form->SGFormulas->Cells(2, 1), "Tango");
  EXPECT_EQ(form->SGFormulas->Cells(1, 1), "4");
  EXPECT_EQ(form->Rhythm->Formulas[0].cells[0][0], 7 | (5 << 6) | (6 << 9));
  EXPECT_EQ(form->Rhythm->Formulas[1].Name(), "Nueva") << "the invalid record is repaired in the table";
  EXPECT_EQ(form->SGFormulas->Cells(1, 2), "12");
  ASSERT_EQ(form->SGTemas->RowCount(), 2);
  EXPECT_EQ(form->SGTemas->Cells(1, 1), "Tangos viejos");
  EXPECT_EQ(form->Rhythm->Temas[0].pan[3], 12);
  EXPECT_EQ(form->Rhythm->Temas[0].volume[9], 0);
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(QSettings("DRAV_PROF.ini", QSettings::IniFormat).value("METRONOMO/archivo").toString(), "Viejo");
}

TEST_F(LibraryTest, ConvertingOverAnExistingListAsksFirst) {
  WriteOldSet("Viejo");
  ScratchFolder::Write("datos/Viejo.vl2", {'k', 'e', 'e', 'p'});
  StartLibrary();
  dlg->openNames = {Here("datos/Viejo.OLE")};
  dlg->answers = {kAnswerNo};
  form->ImportarPELNv1Click();
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], "El archivo " + Here("datos/Viejo.vl2") + QString::fromUtf8(" ya existe.¿ Quiere sobreescribirlo ?"));
  EXPECT_EQ(dlg->questionCaptions[0], "Convertir DRAVv1 a DRAVv2");
  EXPECT_EQ(ScratchFolder::Read("datos/Viejo.vl2"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_FALSE(FileExists("datos/Viejo/formulas.svs"));
  EXPECT_EQ(form->DataSet.DataSetName, "Original");

  // A file outside a datos folder names no set.
  ScratchFolder::Write("suelto.ole", {'x'});
  dlg->openNames = {Here("suelto.ole")};
  form->ImportarPELNv1Click();
  EXPECT_EQ(dlg->messages.size(), 1);
  EXPECT_FALSE(FileExists("suelto.vl2"));
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
}

// --- formulas: deletion, sort, search ----------------------------------------------

TEST_F(LibraryTest, DeletingAFormulaRemapsTheEntriesOfEveryTheme) {
  WriteSet("Original", Numbered(9), {MakeTema("A", {2, 4, 7}), MakeTema("B", {8})});
  StartLibrary();
  form->SGFormulas->Select(2, 4);
  dlg->answers = {kAnswerYes};
  form->Borrarfrmula1->trigger();
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8("¿ Quiere eliminar la fórmula Nº4 F3 ?"));
  EXPECT_EQ(dlg->questionCaptions[0], QString::fromUtf8("Borrar fórmula"));
  EXPECT_EQ(Entries(form->Rhythm->Temas[0]), (std::vector<int>{2, 3, 6}));
  EXPECT_EQ(Entries(form->Rhythm->Temas[1]), (std::vector<int>{7}));
  ASSERT_EQ(form->SGFormulas->RowCount(), 9);
  EXPECT_EQ(form->Rhythm->FormulaCount, 8);
  for (int r = 1; r <= 8; ++r) {
    EXPECT_EQ(form->SGFormulas->Cells(0, r), QString::number(r));
    EXPECT_EQ(form->SGFormulas->Cells(2, r), QString("F%1").arg(r < 4 ? r - 1 : r));
  }
  EXPECT_TRUE(form->Modified());

  // No: nothing changes.
  form->ClearModified();
  dlg->answers = {kAnswerNo};
  form->Borrarfrmula1Click();
  EXPECT_EQ(form->SGFormulas->RowCount(), 9);
  EXPECT_FALSE(form->Modified());
}

TEST_F(LibraryTest, AFormulaUsedByAnyThemeIsNotDeleted) {
  WriteSet("Original", Numbered(6), {MakeTema("A", {0}), MakeTema("B", {1, 2})});
  StartLibrary();
  // Theme A is selected; formula 3 is used by B, formula 4 by an entry that
  // was just written into A.
  form->Rhythm->Temas[0].formulas[1] = 4;
  form->Rhythm->Temas[0].entryCount = 2;
  for (int row : {3, 5}) {
    form->SGFormulas->Select(2, row);
    form->SGFormulasSelectCell(2, row);
    dlg->messages.clear();
    form->Borrarfrmula1Click();
    EXPECT_EQ(dlg->messages.value(0), QString::fromUtf8(" No se puede borrar una fórmula que está siendo usada.")) << row;
    EXPECT_TRUE(dlg->questions.isEmpty());
    EXPECT_EQ(form->SGFormulas->RowCount(), 7);
  }
}

// The only formula of a set is never deleted, and the user is told why.
TEST_F(LibraryTest, TheOnlyFormulaIsKeptAndTheUserToldWhy) {
  WriteSet("Original", Numbered(1), {MakeTema("A", {})});
  StartLibrary();
  form->SGFormulas->Select(2, 1);
  dlg->messages.clear();
  form->Borrarfrmula1Click();
  EXPECT_EQ(dlg->messages.value(0), QString::fromUtf8(" No se puede borrar la única fórmula del conjunto."));
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_EQ(form->SGFormulas->RowCount(), 2);
}

TEST_F(LibraryTest, SortingFormulasKeepsWhatEveryThemePlays) {
  std::vector<Formula> fs = {MakeFormula(0, 12, "b"), MakeFormula(1, 4, "A"), MakeFormula(2, 6, "c")};
  WriteSet("Original", fs, {MakeTema("T", {0, 1, 2}), MakeTema("U", {2, 0})});
  StartLibrary();
  std::vector<Formula> played;
  for (int n = 0; n < 2; ++n)
    for (int f : Entries(form->Rhythm->Temas[n])) played.push_back(form->Rhythm->Formulas[f]);
  form->Ordenarpornombre2->trigger();
  EXPECT_EQ(form->SGFormulas->Cells(2, 1), "A");
  EXPECT_EQ(form->SGFormulas->Cells(2, 2), "b");
  EXPECT_EQ(form->SGFormulas->Cells(2, 3), "c");
  EXPECT_EQ(form->SGFormulas->Cells(1, 1), "4");
  EXPECT_EQ(form->SGFormulas->Cells(0, 3), "3");
  size_t k = 0;
  for (int n = 0; n < 2; ++n)
    for (int f : Entries(form->Rhythm->Temas[n]))
      EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[f], &played[k++], sizeof(Formula)), 0);
  EXPECT_TRUE(form->Modified());  // the records moved: an edit
}

TEST_F(LibraryTest, SearchBoxesSelectByNamePrefix) {
  std::vector<Formula> fs = {MakeFormula(0, 12, "Tangos"), MakeFormula(1, 12, "Sole\xE1"),
                             MakeFormula(2, 12, "tientos"), MakeFormula(3, 12, "SOLEARES")};
  WriteSet("Original", fs, {MakeTema("Rumba", {0}), MakeTema("Bulerias", {1}), MakeTema("rumbita", {2})});
  StartLibrary();
  form->SGFormulas->Select(2, 1);
  form->Edit3->setText("sol");
  EXPECT_EQ(form->SGFormulas->Row(), 2);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 1);
  form->Edit3->setText("SOLEA");
  EXPECT_EQ(form->SGFormulas->Row(), 4);
  form->Edit3->setText("t");
  EXPECT_EQ(form->SGFormulas->Row(), 1) << "from the selected row on, then from the top";

  form->SGTemas->Select(1, 2);
  form->LabeledEdit1->setText("RUM");
  EXPECT_EQ(form->SGTemas->Row(), 3);
  EXPECT_EQ(form->Label2->text(), "Tema 3: rumbita");
  form->LabeledEdit1->setText("xyz");
  EXPECT_EQ(form->SGTemas->Row(), 3);
}

// --- tracks and beats ----------------------------------------------------------------

TEST_F(LibraryTest, TrackPasteFromFourBeatsFillsFourAndClearsTheRest) {
  WriteSet("Original", {MakeFormula(0, 4, "Cuatro"), MakeFormula(1, 12, "Doce")}, {MakeTema("Vacio", {})});
  StartLibrary();
  auto selectFormula = [&](int row) {
    form->SGFormulas->Select(2, row);
    form->SGFormulasSelectCell(2, row);
  };
  selectFormula(2);
  const Formula before = form->Rhythm->Formulas[1];
  form->SGDatosFormula->Select(2, 6);
  form->Pegarpista1Click();  // nothing copied yet
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[1], &before, sizeof(Formula)), 0);

  selectFormula(1);
  form->SGDatosFormula->Select(2, 3);
  form->Copiarpista1->trigger();
  selectFormula(2);
  form->SGDatosFormula->Select(2, 6);
  form->Pegarpista1->trigger();
  const Formula& src = form->Rhythm->Formulas[0];
  const Formula& f = form->Rhythm->Formulas[1];
  for (int b = 0; b < 12; ++b) {
    EXPECT_EQ(f.cells[b][5], b < 4 ? src.cells[b][2] : 0) << b;
    EXPECT_EQ(f.StrokeCount(b, 5), b < 4 ? 3 : 0) << b;
    EXPECT_EQ(form->SGDatosFormula->Cells(b + 2, 6).isEmpty(), b >= 4) << b;
  }
  EXPECT_EQ(f.sounds[5], before.sounds[5]);
  EXPECT_TRUE(form->Modified());  // a paste is an edit

  form->Limpiarpista1->trigger();
  for (int b = 0; b < 12; ++b) EXPECT_EQ(f.cells[b][5], 0);
}

// The track and beat commands edit the formula the pattern grid shows, even
// when a save left another formula in play, and mark the set modified.
TEST_F(LibraryTest, TrackAndBeatCommandsEditTheFormulaShown) {
  WriteSet("Original", Numbered(5), {MakeTema("A", {0})});
  StartLibrary();
  form->SGFormulas->Select(2, 5);
  form->SGFormulasSelectCell(2, 5);  // formula 4 shown
  form->Rhythm->CurrentFormula = 0;  // as a save leaves it: the selected entry's formula
  const Formula first = form->Rhythm->Formulas[0];
  struct Command {
    const char* name;
    std::function<void()> run;
    std::function<bool(const Formula&)> done;  // on formula 4
  };
  const std::vector<Command> commands = {
      {"clear track", [&] { form->SGDatosFormula->Select(2, 3); form->Limpiarpista1Click(); },
       [](const Formula& f) { return f.cells[0][2] == 0 && f.cells[11][2] == 0; }},
      {"clear beat", [&] { form->SGDatosFormula->Select(4, 1); form->Limpiartiempo1Click(); },
       [](const Formula& f) { return f.cells[2][0] == 0 && f.cells[2][15] == 0; }},
      {"paste beat",
       [&] {
         form->SGDatosFormula->Select(2, 1);
         form->Copiartiempo1Click();
         form->SGDatosFormula->Select(5, 1);
         form->Pegartiempo1Click();
       },
       [](const Formula& f) { return f.cells[3][7] == f.cells[0][7]; }},
  };
  for (const Command& c : commands) {
    SCOPED_TRACE(c.name);
    form->ClearModified();
    c.run();
    EXPECT_TRUE(c.done(form->Rhythm->Formulas[4]));
    EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[0], &first, sizeof(Formula)), 0);
    EXPECT_EQ(form->FormulaEd.ShownFormula, 4);
    EXPECT_TRUE(form->Modified());
  }
}

TEST_F(LibraryTest, BeatCommandsNeedABeatColumn) {
  WriteSet("Original", {MakeFormula(3, 12, "Doce")}, {MakeTema("Vacio", {})});
  StartLibrary();
  const Formula before = form->Rhythm->Formulas[0];
  form->SGDatosFormula->Select(1, 2);  // the sound column
  form->Copiartiempo1Click();
  form->Limpiartiempo1Click();
  form->Pegartiempo1Click();
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[0], &before, sizeof(Formula)), 0);

  form->SGDatosFormula->Select(3, 2);  // beat 1
  form->Copiartiempo1Click();
  form->SGDatosFormula->Select(7, 2);  // beat 5
  form->Pegartiempo1Click();
  const Formula& f = form->Rhythm->Formulas[0];
  for (int t = 0; t < 16; ++t) EXPECT_EQ(f.cells[5][t], before.cells[1][t]);
  EXPECT_EQ(form->SGDatosFormula->Cells(7, 4), form->SGDatosFormula->Cells(3, 4));
  form->Limpiartiempo1Click();
  for (int t = 0; t < 16; ++t) EXPECT_EQ(f.StrokeCount(5, t), 0);
  EXPECT_EQ(f.cells[1][0], before.cells[1][0]);
}

TEST_F(LibraryTest, MovingTracksUpAndDown) {
  WriteSet("Original", {MakeFormula(5, 12, "Doce")}, {MakeTema("Vacio", {})});
  StartLibrary();
  const Formula before = form->Rhythm->Formulas[0];
  form->SGDatosFormula->Select(2, 1);
  form->Moveralaizquierda1Click();  // track 1 up: nothing
  form->SGDatosFormula->Select(2, 16);
  form->Moveraladerecha1Click();    // track 16 down: nothing
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[0], &before, sizeof(Formula)), 0);
  EXPECT_FALSE(form->Modified());

  form->MuteButtons[2]->setChecked(true);
  form->SoloButtons[1]->setChecked(true);
  const QString soundOf2 = form->SGDatosFormula->Cells(1, 2), soundOf3 = form->SGDatosFormula->Cells(1, 3);
  form->SGDatosFormula->Select(2, 3);
  form->Moveralaizquierda1Click();  // track 3 up: tracks 2 and 3 exchange
  const Formula& f = form->Rhythm->Formulas[0];
  EXPECT_EQ(f.sounds[1], before.sounds[2]);
  EXPECT_EQ(f.sounds[2], before.sounds[1]);
  for (int b = 0; b < 12; ++b) {
    EXPECT_EQ(f.cells[b][1], before.cells[b][2]);
    EXPECT_EQ(f.cells[b][2], before.cells[b][1]);
  }
  EXPECT_TRUE(form->MuteButtons[1]->isChecked());
  EXPECT_FALSE(form->MuteButtons[2]->isChecked());
  EXPECT_TRUE(form->SoloButtons[2]->isChecked());
  EXPECT_FALSE(form->SoloButtons[1]->isChecked());
  EXPECT_TRUE(form->Engine->Controls.MuteButtons[1]);
  EXPECT_TRUE(form->Engine->Controls.SoloButtons[2]);
  EXPECT_EQ(form->SGDatosFormula->Row(), 2);
  EXPECT_EQ(form->SGDatosFormula->Cells(0, 2), "2");
  EXPECT_EQ(form->SGDatosFormula->Cells(0, 3), "3");
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 2), soundOf3);
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 3), soundOf2);
  EXPECT_TRUE(form->Modified());

  form->Moveraladerecha1Click();  // and back down
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[0], &before, sizeof(Formula)), 0);
  EXPECT_EQ(form->SGDatosFormula->Row(), 3);
}

// --- themes -----------------------------------------------------------------------------

TEST_F(LibraryTest, DeletingAThemeShiftsRowsAndRemovesItsGuitarTrack) {
  WriteSet("Original", Numbered(1),
           {MakeTema("Uno", {0}), MakeTema("Dos", {0, 0}), MakeTema("Tres", {0}), MakeTema("Cuatro", {0}),
            MakeTema("Cinco", {0})});
  ScratchFolder::Write("datos/Original/Dos.gtr", {1});
  ScratchFolder::Write("datos/Original/Tres.gtr", {2});
  StartLibrary();
  form->SGTemas->Select(1, 2);
  dlg->answers = {kAnswerYes};
  form->Borrartema1->trigger();
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8("¿ Quiere eliminar el tema Dos ?"));
  EXPECT_EQ(dlg->questionCaptions[0], "Borrar tema");
  EXPECT_FALSE(FileExists("datos/Original/Dos.gtr"));
  EXPECT_TRUE(FileExists("datos/Original/Tres.gtr"));
  ASSERT_EQ(form->SGTemas->RowCount(), 5);
  const char* names[] = {"Uno", "Tres", "Cuatro", "Cinco"};
  for (int r = 1; r <= 4; ++r) {
    EXPECT_EQ(form->SGTemas->Cells(1, r), names[r - 1]);
    EXPECT_EQ(form->SGTemas->Cells(0, r), QString::number(r));
    EXPECT_EQ(form->Rhythm->Temas[r - 1].Name(), names[r - 1]);
  }
  EXPECT_EQ(form->Rhythm->TemaCount, 4);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(form->Label2->text(), "Tema 2: Tres");

  // The last row deleted: the new last row is selected.
  form->SGTemas->Select(1, 4);
  dlg->answers = {kAnswerYes};
  form->Borrartema1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), 4);
  EXPECT_EQ(form->SGTemas->Row(), 3);
  EXPECT_EQ(form->Label2->text(), "Tema 3: Cuatro");

  dlg->answers = {kAnswerNo};
  form->Borrartema1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), 4);
}

TEST_F(LibraryTest, TheOnlyThemeIsNotDeleted) {
  WriteSet("Original", Numbered(1), {MakeTema("Solo", {0})});
  StartLibrary();
  form->Borrartema1Click();
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_EQ(form->SGTemas->RowCount(), 2);
}

TEST_F(LibraryTest, PastedThemeKeepsTheSourceRecordAndItsGuitarTrack) {
  WriteSet("Original", Numbered(2), {MakeTema("Uno", {1, 0}), MakeTema("Dos", {0}), MakeTema("Tres", {1})});
  ScratchFolder::Write("datos/Original/Uno.gtr", {9});
  StartLibrary();
  form->SGTemas->Select(1, 3);
  form->Pegartema1Click();  // nothing copied: the first theme
  EXPECT_EQ(std::memcmp(&form->Rhythm->Temas[2], &form->Rhythm->Temas[0], sizeof(Tema)), 0);
  EXPECT_EQ(form->SGTemas->Cells(1, 3), "");
  EXPECT_EQ(form->Rhythm->Temas[2].Name(), "Uno");
  EXPECT_EQ(form->SGSaco->RowCount(), 4) << "the selection shows the pasted entries";
  EXPECT_TRUE(form->Modified());

  // Deleting the pasted copy leaves the guitar track that theme 1 still plays.
  form->SGTemas->Select(1, 3);
  dlg->answers = {kAnswerYes};
  form->Borrartema1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), 3);
  EXPECT_TRUE(FileExists("datos/Original/Uno.gtr"));

  form->SGTemas->Select(1, 2);
  form->Copiartema1Click();
  form->SGTemas->Select(1, 1);
  form->Pegartema1Click();
  EXPECT_EQ(Entries(form->Rhythm->Temas[0]), std::vector<int>{0});
  EXPECT_EQ(form->Rhythm->Temas[0].Name(), "Dos");
  EXPECT_EQ(form->SGTemas->Cells(1, 1), "");

  form->ClearModified();
  form->Limpiartema1Click();
  EXPECT_EQ(form->Rhythm->Temas[form->SGTemas->Row() - 1].entryCount, 0);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(form->SGSaco->RowCount(), 2);
}

TEST_F(LibraryTest, SortingThemesByName) {
  WriteSet("Original", Numbered(4),
           {MakeTema("b", {0}), MakeTema("A", {1}), MakeTema("c", {2}), MakeTema("a", {3})});
  StartLibrary();
  form->Ordenarpornombre1->trigger();
  const char* names[] = {"A", "a", "b", "c"};
  const std::vector<int> entries[] = {{1}, {3}, {0}, {2}};
  for (int r = 1; r <= 4; ++r) {
    EXPECT_EQ(form->SGTemas->Cells(1, r), names[r - 1]);
    EXPECT_EQ(form->SGTemas->Cells(0, r), QString::number(r));
    EXPECT_EQ(form->Rhythm->Temas[r - 1].Name(), names[r - 1]);
    EXPECT_EQ(Entries(form->Rhythm->Temas[r - 1]), entries[r - 1]);
  }
  EXPECT_TRUE(form->Modified());
}

TEST_F(LibraryTest, SteppingStopsAtBothEnds) {
  WriteSet("Original", Numbered(3), {MakeTema("Uno", {0}), MakeTema("Dos", {1}), MakeTema("Tres", {2})});
  StartLibrary();
  ASSERT_EQ(form->SGTemas->Row(), 1);
  form->menostema->click();
  EXPECT_EQ(form->SGTemas->Row(), 1);
  EXPECT_EQ(form->Label2->text(), "Tema 1: Uno");
  form->mastema->click();
  EXPECT_EQ(form->SGTemas->Row(), 2);
  EXPECT_EQ(form->Label2->text(), "Tema 2: Dos");
  EXPECT_EQ(form->Rhythm->CurrentFormula, 1);
  form->mastema->click();
  form->mastema->click();
  EXPECT_EQ(form->SGTemas->Row(), 3);
  EXPECT_EQ(form->Label2->text(), "Tema 3: Tres");
  form->menostema->click();
  EXPECT_EQ(form->SGTemas->Row(), 2);
  EXPECT_EQ(form->menostema->toolTip(), "Tema anterior");
  EXPECT_EQ(form->mastema->toolTip(), "Tema siguiente");
}

TEST_F(LibraryTest, MenuItemsAreBound) {
  StartLibrary();
  EXPECT_TRUE(form->ImportarTEMA1->isEnabled());
  EXPECT_TRUE(form->ImportarPELNv1->isEnabled());
  form->ImportarPELNv1->trigger();
  ASSERT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_EQ(dlg->fileRequests[0].title, "Importar archivo DRAVv1");
  form->ImportarTEMA1->trigger();
  ASSERT_EQ(dlg->fileRequests.size(), 2u);
  EXPECT_EQ(dlg->fileRequests[1].title, "Seleccione un archivo de datos DRAVv2");
  form->BuildLibraryControls();  // a second call builds nothing more
  form->ImportarTEMA1->trigger();
  EXPECT_EQ(dlg->fileRequests.size(), 3u);
}

TEST_F(LibraryTest, PastedFormulaKeepsTheNameOfItsRow) {
  WriteSet("Original", {MakeFormula(0, 12, "Uno"), MakeFormula(1, 4, "Dos"), MakeFormula(2, 12, "Tres")},
           {MakeTema("Vacio", {})});
  StartLibrary();
  form->Pegarfrmula1->trigger();  // nothing copied yet
  EXPECT_EQ(form->Rhythm->Formulas[2].Name(), "Tres");
  form->SGFormulas->Select(2, 2);
  form->Copiarfrmula1->trigger();
  form->SGFormulas->Select(2, 3);
  form->Pegarfrmula1->trigger();
  Formula expected = form->Rhythm->Formulas[1];
  expected.SetName("Tres");
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[2], &expected, sizeof(Formula)), 0);
  EXPECT_EQ(form->SGFormulas->Cells(1, 3), "4");
  EXPECT_EQ(form->SGFormulas->Cells(2, 3), "Tres");
  EXPECT_EQ(form->Rhythm->CurrentFormula, 2);
}

// --- the import dialog's creation -------------------------------------------------

TEST_F(LibraryTest, TheImportDialogIsCreatedOnDemand) {
  Start();
  EXPECT_EQ(form->FormImportar, nullptr) << "the window's construction leaves the dialog to the program entry";
  form->ImportarTEMA1Click();  // the open dialog is cancelled
  ASSERT_NE(form->FormImportar, nullptr);
  EXPECT_EQ(form->FormImportar->windowTitle(), "Importar TEMAS");
  EXPECT_EQ(form->FormImportar->Button1->text(), "Importar");
  EXPECT_FALSE(form->FormImportar->isVisible());
  TFormImportar* first = form->FormImportar;
  first->ImportedThemes << "Alegrias";
  form->CreateImportDialog();
  EXPECT_EQ(form->FormImportar, first) << "created once; its list of imported names lives on";
  EXPECT_EQ(form->FormImportar->ImportedThemes, QStringList{"Alegrias"});
}

TEST_F(LibraryTest, TheImportDialogCreatedByTheEntryKeepsItsLayoutCaptions) {
  Start();
  form->CreateImportDialog();
  ASSERT_NE(form->FormImportar, nullptr);
  EXPECT_EQ(form->FormImportar->windowTitle(), "Importar TEMA");
  EXPECT_EQ(form->FormImportar->Button1->text(), "Importar   >>");
  EXPECT_TRUE(form->FormImportar->ImportedThemes.isEmpty());
}

// --- grid rows rewritten from the records -------------------------------------------

// A pasted theme's record carries the source name while its cell is empty;
// both sorts show every used record's own name again.
TEST_F(LibraryTest, SortsShowTheNamesTheThemeRecordsCarry) {
  struct Case {
    const char* what;
    bool sortThemes;
    std::vector<QString> names;  // rows 1..3 after the sort
  };
  const Case cases[] = {
      {"formula sort", false, {"Uno", "Dos", "Uno"}},
      {"theme sort", true, {"Uno", "Dos", "Uno"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSet("Original", {MakeFormula(0, 12, "b"), MakeFormula(1, 12, "a")},
             {MakeTema("Uno", {0}), MakeTema("Dos", {1}), MakeTema("Tres", {0, 1})});
    StartLibrary();
    form->SGTemas->Select(1, 3);
    form->Pegartema1Click();  // theme 1 over theme 3: empty name cell
    ASSERT_EQ(form->SGTemas->Cells(1, 3), "");
    if (c.sortThemes)
      form->Ordenarpornombre1Click();
    else
      form->OrdenarClick();
    for (int r = 1; r <= 3; ++r) {
      EXPECT_EQ(form->SGTemas->Cells(0, r), QString::number(r)) << r;
      EXPECT_EQ(form->SGTemas->Cells(1, r), c.names[r - 1]) << r;
      EXPECT_EQ(L1(form->Rhythm->Temas[r - 1].Name()), c.names[r - 1]) << r;
    }
    form.reset();
  }
}

TEST_F(LibraryTest, ThemeSortLeavesUnusedSlotsEmpty) {
  Tema unused = MakeTema("", {});
  unused.name[0] = static_cast<char>(0xFF);
  WriteSet("Original", Numbered(2), {MakeTema("b", {0}), MakeTema("a", {1}), unused});
  StartLibrary();
  ASSERT_EQ(form->SGTemas->RowCount(), 4);
  EXPECT_EQ(form->SGTemas->Cells(1, 3), "");
  form->Ordenarpornombre1Click();
  // The unused slot's empty cell sorts first.
  EXPECT_TRUE(form->Rhythm->Temas[0].Unused());
  EXPECT_EQ(form->SGTemas->Cells(0, 1), "");
  EXPECT_EQ(form->SGTemas->Cells(1, 1), "");
  EXPECT_EQ(form->SGTemas->Cells(1, 2), "a");
  EXPECT_EQ(form->SGTemas->Cells(1, 3), "b");
  EXPECT_EQ(form->SGTemas->Cells(0, 3), "3");
}

// The imported names are names only: a theme of the same name from yet
// another set is marked and refused while the same set is open.
TEST_F(LibraryTest, ImportedNamesHoldWhicheverSetTheyCameFrom) {
  WriteSet("Otro", Numbered(2), {MakeTema("Alegrias", {0})});
  WriteSet("Tercero", Numbered(3), {MakeTema("Tangos", {2}), MakeTema("alegrias", {1})});
  StartLibrary();
  OpenImport("datos/Otro.vl2");
  ASSERT_TRUE(Dialog()->ChooseAndImport("Alegrias"));
  Dialog()->close();
  const int rows = form->SGTemas->RowCount();
  OpenImport("datos/Tercero.vl2");
  ASSERT_EQ(Dialog()->LB1->count(), 2);
  EXPECT_EQ(Dialog()->ItemTextColor(1, false), QColor(255, 0, 0));
  EXPECT_NE(Dialog()->ItemTextColor(0, false), QColor(255, 0, 0));
  ASSERT_TRUE(Dialog()->ChooseAndImport("alegrias"));
  EXPECT_EQ(form->SGTemas->RowCount(), rows);
  ASSERT_TRUE(Dialog()->ChooseAndImport("Tangos"));
  EXPECT_EQ(form->SGTemas->RowCount(), rows + 1);
}

TEST_F(LibraryTest, LibraryTextsInEnglish) {
  WriteSet("Original", Numbered(3), {MakeTema("A", {1}), MakeTema("B", {0})});
  StartLibrary();
  form->Ingls1Click();
  form->ImportarTEMA1Click();  // cancelled
  ASSERT_FALSE(dlg->fileRequests.empty());
  EXPECT_EQ(dlg->fileRequests.back().title, "Select a data file DRAVv2");
  EXPECT_EQ(form->FormImportar->windowTitle(), "Import SONGS");
  EXPECT_EQ(form->FormImportar->Button1->text(), "Import");

  form->SGFormulas->Select(2, 2);
  form->Borrarfrmula1Click();
  EXPECT_EQ(dlg->messages.value(0), " A formula cannot be erased when is being used.");
  // The questions stay in Spanish.
  form->SGFormulas->Select(2, 3);
  dlg->answers = {kAnswerNo};
  form->Borrarfrmula1Click();
  EXPECT_EQ(dlg->questions.value(0), QString::fromUtf8("¿ Quiere eliminar la fórmula Nº3 F2 ?"));
  dlg->answers = {kAnswerNo};
  form->SGTemas->Select(1, 2);
  form->Borrartema1Click();
  EXPECT_EQ(dlg->questions.value(1), QString::fromUtf8("¿ Quiere eliminar el tema B ?"));
  EXPECT_EQ(dlg->questionCaptions.value(1), "Borrar tema");
  EXPECT_EQ(form->SGTemas->RowCount(), 3);
}
