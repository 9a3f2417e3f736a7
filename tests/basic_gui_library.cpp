// The basic window's library commands on the factory set: new, copy, paste,
// clear, delete and sort of formulas and themes with the theme entries kept
// on the same patterns and the tempo column in step, the track and beat
// clipboards on 8 tracks, the searches and the stepping, and the import of a
// theme from another basic set.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <filesystem>
#include <set>

#include "basic/v1_bridge.h"
#include "basic/window/form_import_basic.h"
#include "basic_gui_editors_fixture.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/formats_v1.h"

namespace fs = std::filesystem;

namespace {

class BasicLibraryTest : public BasicEditorsFixture {
 protected:
  static bool SamePattern(const Formula& a, const Formula& b) {
    return std::memcmp(&a, &b, offsetof(Formula, name)) == 0 && a.accents == b.accents;
  }
  QStringList Column(StringGrid* g, int col) const {
    QStringList out;
    for (int r = 1; r < g->RowCount(); ++r) out << g->Cells(col, r);
    return out;
  }
};

// A new formula is a copy of the selected one with an empty name, appended
// and selected.
TEST_F(BasicLibraryTest, NewFormulaCopiesTheSelectedOneWithAnEmptyName) {
  SelectFormula(4);  // Buler: 12 beats, first beat 12
  form->ClearModified();
  form->Nuevafrmula1Click();
  ASSERT_EQ(form->SGFormulas->RowCount(), 8);
  EXPECT_EQ(form->SGFormulas->Row(), 7);
  EXPECT_EQ(std::memcmp(&F(6), &F(3), offsetof(Formula, name)), 0);
  EXPECT_EQ(F(6).accents, F(3).accents);
  EXPECT_EQ(std::string(F(6).name, 16), std::string(16, '\0'));
  EXPECT_EQ(Column(form->SGFormulas, 0).back(), "7");
  EXPECT_EQ(Column(form->SGFormulas, 1).back(), "12");
  EXPECT_EQ(Column(form->SGFormulas, 2).back(), "");
  EXPECT_EQ(Column(form->SGFormulas, 3).back(), "12");
  EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Fórmula 7"));
  EXPECT_TRUE(form->Modified());
}

// The formula paste copies the pattern, sounds and accents and keeps the
// target's name as its cell shows it, cut to 5 characters; without a copy
// it does nothing.
TEST_F(BasicLibraryTest, FormulaPasteKeepsTheTargetsName) {
  SelectFormula(1);
  const Formula first = F(0);
  form->Pegarfrmula1Click();
  EXPECT_EQ(std::memcmp(&first, &F(0), sizeof(Formula)), 0);

  SelectFormula(6);  // Tango, 4 beats
  form->Copiarfrmula1Click();
  SelectFormula(1);
  form->Pegarfrmula1Click();
  EXPECT_TRUE(SamePattern(F(0), F(5)));
  EXPECT_EQ(F(0).Name(), ToL1(QString::fromUtf8("Soleá")));
  EXPECT_EQ(form->SGFormulas->Cells(1, 1), "4");
  EXPECT_EQ(form->SGDatosFormula->ColCount(), 6);

  form->SGFormulas->SetCells(2, 2, "Soleares");  // a longer text on show
  SelectFormula(2);
  form->Pegarfrmula1Click();
  EXPECT_TRUE(SamePattern(F(1), F(5)));
  EXPECT_EQ(F(1).Name(), "Solea");
  EXPECT_EQ(form->SGFormulas->Cells(2, 2), "Soleares");
}

// Clearing a formula empties its cells and stroke counts and keeps the rest.
TEST_F(BasicLibraryTest, ClearFormulaEmptiesThePatternOnly) {
  SelectFormula(4);
  const Formula before = F(3);
  form->Limpiarfrmula1Click();
  for (int b = 0; b < 12; ++b)
    for (int t = 0; t < 16; ++t) {
      EXPECT_EQ(F(3).cells[b][t], 0);
      EXPECT_EQ(F(3).StrokeCount(b, t), 0);
    }
  EXPECT_EQ(F(3).header, before.header);
  EXPECT_EQ(std::memcmp(F(3).sounds, before.sounds, sizeof before.sounds), 0);
  EXPECT_EQ(F(3).Name(), before.Name());
  EXPECT_EQ(F(3).accents, before.accents);
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 1), "");
}

// The track clipboard: a track of a 4-beat formula pasted into a 12-beat one
// fills beats 1..4 and clears the others, the sound stays; clearing empties
// the track. The beat clipboard copies the 8 cells and stroke counts of a
// beat. An empty clipboard, and a beat command on the sound column, change
// nothing.
TEST_F(BasicLibraryTest, TrackAndBeatClipboardsOnEightTracks) {
  SelectFormula(1);
  SelectTrack(4, 8);
  const Formula untouched = F(0);
  form->Pegarpista1Click();
  form->Pegartiempo1Click();
  EXPECT_EQ(std::memcmp(&untouched, &F(0), sizeof(Formula)), 0);

  SelectFormula(6);
  SelectTrack(2);
  form->Copiarpista1Click();
  SelectFormula(1);
  SelectTrack(4, 8);
  Type(form->SGDatosFormula, 8, 4, "333");  // beat 7 of track 4 holds strokes
  const Formula target = F(0);
  form->Pegarpista1Click();
  for (int b = 0; b < 12; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(F(0).cells[b][3], b < 4 ? F(5).cells[b][1] : 0);
    EXPECT_EQ(F(0).StrokeCount(b, 3), b < 4 ? F(5).StrokeCount(b, 1) : 0);
    for (int t = 0; t < 8; ++t) {
      if (t != 3) {
        EXPECT_EQ(F(0).cells[b][t], target.cells[b][t]) << t;
      }
    }
  }
  EXPECT_EQ(F(0).sounds[3], target.sounds[3]);
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 4), L1(StrokeTextV1(F(5), 0, 1)));
  EXPECT_EQ(form->SGDatosFormula->Cells(8, 4), "");
  form->Limpiarpista1Click();
  for (int b = 0; b < 12; ++b) EXPECT_EQ(F(0).StrokeCount(b, 3), 0) << b;

  // Beat 3 of Buler onto beat 6 of the first formula.
  SelectFormula(4);
  SelectTrack(1, 4);
  form->Copiartiempo1Click();
  SelectFormula(1);
  SelectTrack(1, 7);
  form->Pegartiempo1Click();
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(F(0).cells[5][t], F(3).cells[2][t]) << t;
    EXPECT_EQ(F(0).StrokeCount(5, t), F(3).StrokeCount(2, t)) << t;
    EXPECT_EQ(form->SGDatosFormula->Cells(7, t + 1), L1(StrokeTextV1(F(3), 2, t))) << t;
  }
  const Formula pasted = F(0);
  SelectTrack(1, 1);  // the sound column: no beat
  form->Pegartiempo1Click();
  form->Limpiartiempo1Click();
  EXPECT_EQ(std::memcmp(&pasted, &F(0), sizeof(Formula)), 0);
  SelectTrack(1, 7);
  form->Limpiartiempo1Click();
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(F(0).cells[5][t], 0);
    EXPECT_EQ(F(0).StrokeCount(5, t), 0);
  }
}

// Sorting the formulas by name (ignoring case, equal names in their former
// order) moves the records and remaps every entry, so each theme plays the
// same patterns; the grids are written again, the theme tempo column too.
TEST_F(BasicLibraryTest, FormulaSortKeepsTheEntriesOnTheirPatterns) {
  const char* names[] = {"b", "A", "c", "a", "B", "C"};
  for (int r = 1; r <= 6; ++r) Type(form->SGFormulas, 2, r, names[r - 1]);
  std::vector<Formula> before(form->Rhythm->Formulas.begin(), form->Rhythm->Formulas.begin() + 6);
  std::vector<std::vector<Formula>> played;
  for (int m = 0; m < 6; ++m) {
    played.emplace_back();
    for (int e = 0; e < T(m).entryCount; ++e) played.back().push_back(F(T(m).formulas[e]));
  }
  for (int r = 1; r <= 6; ++r) form->SGTemas->SetCells(2, r, "999");
  SelectFormula(1);  // "b"
  form->OrdenarClick();

  EXPECT_EQ(Column(form->SGFormulas, 2), QStringList({"A", "a", "b", "B", "c", "C"}));
  const int from[] = {1, 3, 0, 4, 2, 5};
  for (int l = 0; l < 6; ++l) EXPECT_EQ(std::memcmp(&F(l), &before[from[l]], sizeof(Formula)), 0) << l;
  for (int m = 0; m < 6; ++m)
    for (int e = 0; e < T(m).entryCount; ++e)
      EXPECT_EQ(std::memcmp(&F(T(m).formulas[e]), &played[m][e], sizeof(Formula)), 0) << m << "," << e;
  EXPECT_EQ(Column(form->SGFormulas, 0), QStringList({"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(Column(form->SGFormulas, 1), QStringList({"12", "12", "12", "12", "12", "4"}));
  EXPECT_EQ(Column(form->SGTemas, 2), QStringList({"140", "180", "190", "240", "170", "120"}));
  // The formula selected before ("b") is still the one selected and shown.
  EXPECT_EQ(form->SGFormulas->Row(), 3);
  EXPECT_EQ(form->Label7->text(), "b");
  EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Fórmula 3"));
}

// A formula a theme uses is not deleted; another one is, after Yes, and the
// entries above it move down one number, still on the same patterns.
TEST_F(BasicLibraryTest, FormulaDeletionRenumbersTheEntries) {
  SelectFormula(1);
  form->Borrarfrmula1Click();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_EQ(dlg->messages[0], QString::fromUtf8(" No se puede borrar una fórmula que está siendo usada."));
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_EQ(form->SGFormulas->RowCount(), 7);

  // Alegrías plays Buler instead: formula 3 is free.
  T(2).formulas[0] = T(2).formulas[1] = 3;
  std::vector<std::vector<Formula>> played;
  for (int m = 0; m < 6; ++m) {
    played.emplace_back();
    for (int e = 0; e < T(m).entryCount; ++e) played.back().push_back(F(T(m).formulas[e]));
  }
  SelectFormula(3);
  dlg->answers.push_back(kAnswerNo);
  form->Borrarfrmula1Click();
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8("¿ Quiere eliminar la fórmula Nº3 Alegr ?"));
  EXPECT_EQ(dlg->questionCaptions[0], QString::fromUtf8("Borrar fórmula"));
  EXPECT_EQ(form->SGFormulas->RowCount(), 7);

  form->ClearModified();
  dlg->answers.push_back(kAnswerYes);
  form->Borrarfrmula1Click();
  EXPECT_EQ(form->SGFormulas->RowCount(), 6);
  EXPECT_EQ(Column(form->SGFormulas, 0), QStringList({"1", "2", "3", "4", "5"}));
  EXPECT_EQ(Column(form->SGFormulas, 2).mid(2), QStringList({"Buler", "Segui", "Tango"}));
  const int expected[] = {0, 1, 2, 2, 3, 4};  // the first entry of each theme
  for (int m = 0; m < 6; ++m) EXPECT_EQ(T(m).formulas[0], expected[m]) << m;
  for (int m = 0; m < 6; ++m)
    for (int e = 0; e < T(m).entryCount; ++e)
      EXPECT_EQ(std::memcmp(&F(T(m).formulas[e]), &played[m][e], sizeof(Formula)), 0) << m << "," << e;
  EXPECT_TRUE(form->Modified());
}

// A new theme: no entries, the formula slider's tempo in the record and the
// tempo column, in order, selected.
TEST_F(BasicLibraryTest, NewThemeTakesTheFormulaTempo) {
  SelectTema(2);
  form->RadioButton2->setChecked(true);
  form->RadioButton1Click();
  form->TB2->setValue(420 - 133);
  form->ClearModified();
  form->Nuevotema1Click();
  ASSERT_EQ(form->SGTemas->RowCount(), 8);
  const Tema& t = T(6);
  EXPECT_EQ(t.entryCount, 0);
  EXPECT_EQ(t.tempos[0], 133);
  EXPECT_TRUE(t.InOrder());
  EXPECT_EQ(t.gain, 1.0f);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(t.pan[i], 0) << i;  // the older records hold no pan or volume
    EXPECT_EQ(t.volume[i], 0) << i;
  }
  EXPECT_EQ(form->SGTemas->Row(), 7);
  EXPECT_EQ(form->SGTemas->Cells(0, 7), "7");
  EXPECT_EQ(form->SGTemas->Cells(1, 7), "");
  EXPECT_EQ(form->SGTemas->Cells(2, 7), "133");
  EXPECT_EQ(form->SGSaco->RowCount(), 2);
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_EQ(form->TB1->value(), 420 - 133);
  EXPECT_TRUE(form->Modified());
}

// The theme paste copies the whole record and the source row's tempo cell,
// and empties the target's name cell; without a copy it takes the first
// theme. Clearing leaves a theme without entries.
TEST_F(BasicLibraryTest, ThemePasteAndClear) {
  const Tema first = T(0);
  SelectTema(3);
  form->Pegartema1Click();
  EXPECT_EQ(std::memcmp(&T(2), &first, sizeof(Tema)), 0);
  EXPECT_EQ(form->SGTemas->Cells(1, 3), "");
  EXPECT_EQ(form->SGTemas->Cells(2, 3), "140");
  EXPECT_EQ(form->TB1->value(), 420 - 140);

  SelectTema(5);
  form->Copiartema1Click();
  SelectTema(2);
  form->Pegartema1Click();
  EXPECT_EQ(std::memcmp(&T(1), &T(4), sizeof(Tema)), 0);
  EXPECT_EQ(T(1).Name(), "Seguiriya");  // the record keeps the name until one is typed
  EXPECT_EQ(form->SGTemas->Cells(2, 2), "170");
  EXPECT_EQ(form->SGSaco->Cells(2, 1), "Segui");

  form->Limpiartema1Click();
  EXPECT_EQ(T(1).entryCount, 0);
  EXPECT_EQ(form->SGSaco->RowCount(), 2);
}

// Deleting a theme asks first, moves the later themes up with their name and
// tempo cells, and deletes no file; the only theme is never deleted.
TEST_F(BasicLibraryTest, ThemeDeletionMovesNamesAndTempos) {
  {
    std::string err;
    ASSERT_TRUE(WriteFileAtomically("datos/Original/Alegrias.gtr", {1, 2, 3}, &err)) << err;
  }
  std::set<std::string> files;
  for (const auto& e : fs::directory_iterator("datos/Original")) files.insert(e.path().filename().string());
  std::vector<Tema> before(form->Rhythm->Temas.begin(), form->Rhythm->Temas.begin() + 6);
  const QStringList names = Column(form->SGTemas, 1);

  SelectTema(3);
  dlg->answers.push_back(kAnswerNo);
  form->Borrartema1Click();
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8("¿ Quiere eliminar el tema ") + names[2] + " ?");
  EXPECT_EQ(dlg->questionCaptions[0], "Borrar tema");
  EXPECT_EQ(form->SGTemas->RowCount(), 7);

  form->ClearModified();
  dlg->answers.push_back(kAnswerYes);
  form->Borrartema1Click();
  ASSERT_EQ(form->SGTemas->RowCount(), 6);
  EXPECT_EQ(Column(form->SGTemas, 0), QStringList({"1", "2", "3", "4", "5"}));
  EXPECT_EQ(Column(form->SGTemas, 1), QStringList({names[0], names[1], names[3], names[4], names[5]}));
  EXPECT_EQ(Column(form->SGTemas, 2), QStringList({"140", "180", "240", "170", "120"}));
  for (int m = 2; m < 5; ++m) EXPECT_EQ(std::memcmp(&T(m), &before[m + 1], sizeof(Tema)), 0) << m;
  EXPECT_EQ(form->SGTemas->Row(), 3);
  EXPECT_EQ(form->Label2->text(), "Tema 3: " + names[3]);
  EXPECT_TRUE(form->Modified());
  std::set<std::string> after;
  for (const auto& e : fs::directory_iterator("datos/Original")) after.insert(e.path().filename().string());
  EXPECT_EQ(after, files);

  // The last row deleted: the new last row is selected.
  SelectTema(5);
  dlg->answers.push_back(kAnswerYes);
  form->Borrartema1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), 5);
  EXPECT_EQ(form->SGTemas->Row(), 4);

  // A set of one theme keeps it, without a question.
  form->Nuevo1Click();
  ASSERT_EQ(form->SGTemas->RowCount(), 2);
  dlg->questions.clear();
  form->Borrartema1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), 2);
  EXPECT_TRUE(dlg->questions.isEmpty());
}

// Sorting the themes by name (ignoring case, equal names in their former
// order) moves each theme with its tempo; entries keep their formulas; the
// set is not marked modified.
TEST_F(BasicLibraryTest, ThemeSortKeepsTheTempoColumnInStep) {
  const char* names[] = {"b", "A", "c", "a", "B", "C"};
  for (int r = 1; r <= 6; ++r) Type(form->SGTemas, 1, r, names[r - 1]);
  std::vector<Tema> before(form->Rhythm->Temas.begin(), form->Rhythm->Temas.begin() + 6);
  SelectTema(1);
  form->ClearModified();
  form->Ordenarpornombre1Click();
  EXPECT_EQ(Column(form->SGTemas, 1), QStringList({"A", "a", "b", "B", "c", "C"}));
  EXPECT_EQ(Column(form->SGTemas, 2), QStringList({"180", "240", "140", "170", "190", "120"}));
  EXPECT_EQ(Column(form->SGTemas, 0), QStringList({"1", "2", "3", "4", "5", "6"}));
  const int from[] = {1, 3, 0, 4, 2, 5};
  for (int j = 0; j < 6; ++j) EXPECT_EQ(std::memcmp(&T(j), &before[from[j]], sizeof(Tema)), 0) << j;
  EXPECT_FALSE(form->Modified());
  // The selected row is selected again: the theme now there is shown.
  EXPECT_EQ(form->Label2->text(), "Tema 1: A");
  EXPECT_EQ(form->SGSaco->Cells(1, 1), "180");
}

// The searches select the next name that begins with the text, ignoring
// case, from the selected row on and then from the top; the theme steps stop
// at the ends.
TEST_F(BasicLibraryTest, SearchesAndThemeSteps) {
  SelectFormula(1);
  form->Edit3->setText("bul");
  EXPECT_EQ(form->SGFormulas->Row(), 4);
  EXPECT_EQ(form->Label7->text(), "Buler");
  form->Edit3->setText("SOL");
  EXPECT_EQ(form->SGFormulas->Row(), 1);
  form->Edit3->setText("zz");
  EXPECT_EQ(form->SGFormulas->Row(), 1);

  SelectTema(1);
  form->LabeledEdit1->setText("tang");
  EXPECT_EQ(form->SGTemas->Row(), 6);
  EXPECT_EQ(form->Label2->text(), "Tema 6: Tangos");
  form->mastemaClick();
  EXPECT_EQ(form->SGTemas->Row(), 6);
  form->menostemaClick();
  EXPECT_EQ(form->SGTemas->Row(), 5);
  EXPECT_EQ(form->SGSaco->Cells(2, 1), "Segui");
  SelectTema(1);
  form->menostemaClick();
  EXPECT_EQ(form->SGTemas->Row(), 1);
  form->mastemaClick();
  EXPECT_EQ(form->SGTemas->Row(), 2);
}

// --- theme import -------------------------------------------------------------

class BasicImportTest : public BasicLibraryTest {
 protected:
  // Another basic set "Otro": the factory formulas 1..6 and
  //  7 "Zapat": Tango with one more stroke (new),
  //  8 "Bxxxx": Buler under another name (new: the whole name counts),
  //  9 Alegr, equal to formula 3 of the factory set,
  // 10 Tango with a stroke in a beat beyond its 4 (equal to formula 6),
  // and the themes "Farruca" (formulas 7, 4, 7, 8, 9, 10 of it) and "Otro".
  void WriteOtherSet() {
    std::vector<FormulaV1> fv;
    ASSERT_TRUE(ReadFormulasV1("datos/Original/formulas.van", &fv));
    ASSERT_EQ(fv.size(), 6u);
    FormulaV1 zapat = fv[5];
    zapat.cells[1][0] ^= 3;
    zapat.SetStrokeCount(1, 0, 1);
    std::memcpy(zapat.name, "Zapat", 5);
    FormulaV1 other = fv[3];
    std::memcpy(other.name, "Bxxxx", 5);
    FormulaV1 beyond = fv[5];
    beyond.cells[6][0] = 3;
    beyond.SetStrokeCount(6, 0, 1);
    fv.push_back(zapat);
    fv.push_back(other);
    fv.push_back(fv[2]);
    fv.push_back(beyond);
    std::vector<TemaV1> tv(2);
    std::memset(tv.data(), 0, tv.size() * sizeof(TemaV1));
    tv[0].SetName("Farruca");
    const int formulas[] = {6, 3, 6, 7, 8, 9};
    tv[0].entryCount = 6;
    for (int e = 0; e < 6; ++e) {
      tv[0].formulas[e] = static_cast<uint16_t>(formulas[e]);
      tv[0].times[e] = static_cast<uint8_t>(e + 1);
    }
    tv[0].accel[3] = 2;
    tv[0].tempo = 133;
    tv[0].gain = 1.5f;
    tv[0].partsOrder = 0x82;
    tv[1].SetName("Otro");
    tv[1].entryCount = 1;
    tv[1].formulas[0] = 2;
    tv[1].times[0] = 2;
    tv[1].tempo = 90;
    std::string err;
    fs::create_directories("datos/Otro");
    ASSERT_TRUE(WriteFileAtomically("datos/Otro.ole", {'x', '\r', '\n'}, &err)) << err;
    ASSERT_TRUE(WriteFileAtomically("datos/Otro/formulas.van", BytesOfRecords(fv.data(), fv.size()), &err)) << err;
    ASSERT_TRUE(WriteFileAtomically("datos/Otro/temas.van", BytesOfRecords(tv.data(), tv.size()), &err)) << err;
    ASSERT_TRUE(WriteFileAtomically("datos/Otro/Farruca.gtr", {1, 2, 3}, &err)) << err;
  }
  // The menu command with the dialog's file chosen; the dialog is shown
  // without waiting.
  void ImportFrom(const QString& ole) {
    if (!form->FormImportar) form->ImportarTEMA1Click();  // cancelled: the dialog exists
    ASSERT_NE(form->FormImportar, nullptr);
    form->FormImportar->RunModal = false;
    dlg->openNames.push_back(ole);
    form->ImportarTEMA1Click();
  }
  QStringList ListedThemes() const {
    QStringList out;
    for (int i = 0; i < form->FormImportar->LB1->count(); ++i) out << form->FormImportar->LB1->item(i)->text();
    return out;
  }
};

// The dialog of the basic edition: its own title, no initial folder, the
// captions set at each use; a cancelled choice does nothing.
TEST_F(BasicImportTest, DialogCaptions) {
  {
    bornace::TFormImportar fresh(*form);
    EXPECT_EQ(fresh.Button1->text(), "Importar ");
    EXPECT_EQ(fresh.windowTitle(), "Importar TEMA");
  }
  for (bool english : {false, true}) {
    SCOPED_TRACE(english);
    form->English = english;
    dlg->fileRequests.clear();
    form->ImportarTEMA1Click();
    ASSERT_EQ(dlg->fileRequests.size(), 1u);
    EXPECT_EQ(dlg->fileRequests[0].title,
              english ? "Select a data file DRAV" : "Seleccione un archivo de datos DRAV");
    EXPECT_TRUE(dlg->fileRequests[0].initialDir.isEmpty());
    ASSERT_NE(form->FormImportar, nullptr);
    EXPECT_EQ(form->FormImportar->Button1->text(), english ? "Import" : "Importar");
    EXPECT_EQ(form->FormImportar->windowTitle(), english ? "Import SONGS" : "Importar TEMAS");
    EXPECT_FALSE(form->FormImportar->isVisible());
  }
  form->English = false;
  EXPECT_EQ(form->SGTemas->RowCount(), 7);
  // A file that is not there does nothing either.
  ImportFrom(QDir::currentPath() + "/datos/Nadie.ole");
  EXPECT_FALSE(form->FormImportar->isVisible());
  EXPECT_EQ(form->SGTemas->RowCount(), 7);
}

// A theme of another basic set comes with the formulas the open set lacks:
// equal ones (by the older record's bytes: header, sounds, the whole name,
// accents and the beats in use) are reused, each new one is appended once.
// The theme's tempo goes into the tempo column; no guitar file comes along;
// a second press imports nothing.
TEST_F(BasicImportTest, ImportReusesEqualFormulas) {
  WriteOtherSet();
  form->Visor->clear();
  ImportFrom(QDir::currentPath() + "/datos/Otro.ole");
  bornace::TFormImportar* d = form->FormImportar;
  EXPECT_EQ(d->Label1->text(), QDir::currentPath() + "/datos/Otro");
  EXPECT_EQ(ListedThemes(), QStringList({"Farruca", "Otro"}));
  EXPECT_EQ(d->LB1->currentRow(), 0);
  EXPECT_FALSE(d->CloseRequested);

  form->ClearModified();
  ASSERT_TRUE(d->ChooseAndImport("Farruca"));
  ASSERT_EQ(form->SGTemas->RowCount(), 8);
  ASSERT_EQ(form->SGFormulas->RowCount(), 9);
  const Tema& t = T(6);
  EXPECT_EQ(t.Name(), "Farruca");
  ASSERT_EQ(t.entryCount, 6);
  const int want[] = {6, 3, 6, 7, 2, 5};
  for (int e = 0; e < 6; ++e) {
    EXPECT_EQ(t.formulas[e], want[e]) << e;
    EXPECT_EQ(t.times[e], e + 1) << e;
  }
  EXPECT_EQ(t.accel[3], 2);
  EXPECT_EQ(t.tempos[0], 133);
  EXPECT_EQ(t.gain, 1.5f);
  EXPECT_EQ(F(6).Name(), "Zapat");
  EXPECT_EQ(F(7).Name(), "Bxxxx");
  EXPECT_TRUE(SamePattern(F(7), F(3)));
  EXPECT_EQ(form->SGTemas->Cells(0, 7), "7");
  EXPECT_EQ(form->SGTemas->Cells(1, 7), "Farruca");
  EXPECT_EQ(form->SGTemas->Cells(2, 7), "133");
  EXPECT_EQ(Column(form->SGFormulas, 2).mid(6), QStringList({"Zapat", "Bxxxx"}));
  EXPECT_EQ(Column(form->SGFormulas, 0).mid(6), QStringList({"7", "8"}));
  EXPECT_EQ(form->SGTemas->Row(), 7);
  EXPECT_EQ(form->SGSaco->Cells(2, 1), "Zapat");
  EXPECT_EQ(form->SGSaco->Cells(1, 1), "133");
  EXPECT_EQ(VisorLines(), QStringList({"Importando Tema: Farruca", QString::fromUtf8("Añadiendo fórmula: Zapat"),
                                       QString::fromUtf8("Añadiendo fórmula: Bxxxx")}));
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(fs::exists("datos/Original/Farruca.gtr"));

  // Once per set: pressing again (in any case of the name) imports nothing.
  d->Button1Click();
  d->LB1->item(0)->setText("FARRUCA");
  d->Button1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), 8);
  EXPECT_EQ(form->SGFormulas->RowCount(), 9);

  // The other theme: its formula is the factory set's third.
  ASSERT_TRUE(d->ChooseAndImport("Otro"));
  EXPECT_EQ(form->SGTemas->RowCount(), 9);
  EXPECT_EQ(form->SGFormulas->RowCount(), 9);
  EXPECT_EQ(T(7).formulas[0], 2);
  EXPECT_EQ(form->SGTemas->Cells(2, 8), "90");
}

// Another set without its theme file shows what it has and closes at once.
TEST_F(BasicImportTest, MissingThemeFileClosesTheDialog) {
  WriteOtherSet();
  fs::remove("datos/Otro/temas.van");
  ImportFrom(QDir::currentPath() + "/datos/Otro.ole");
  EXPECT_TRUE(form->FormImportar->CloseRequested);
  EXPECT_FALSE(form->FormImportar->isVisible());
  EXPECT_EQ(form->SGTemas->RowCount(), 7);
}

}  // namespace
