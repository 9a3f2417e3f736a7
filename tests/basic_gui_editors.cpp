// The basic window's formula, track and theme editors on the factory set:
// the 2-bit pattern cells, the names of 5 and 14 characters, the theme tempo
// column, the sequence grid with the tempo in force, the entry edits, the
// sound chooser, the owner drawing of the grids and the track moves with
// the stereo chart.
#include <QApplication>
#include <QCheckBox>
#include <QChart>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QPixmap>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QValidator>

#include "basic/v1_bridge.h"
#include "platform/ui/desk_theme.h"
#include "basic_gui_editors_fixture.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/library_handlers.h"

namespace {

class BasicEditorsTest : public BasicEditorsFixture {
 protected:
  // The colour a grid paints in a cell, away from its text.
  static QColor CellColour(StringGrid* g, int col, int row) {
    const QImage img = g->viewport()->grab().toImage();
    const QRect r = g->visualRect(g->model()->index(row, col));
    return img.pixelColor(std::min(r.right() - 2, img.width() - 2), r.top() + 1);
  }
};

// What a typed pattern cell stores: a digit 1..3 is a stroke at that level,
// any other character a rest, the count is the length (at most 8).
TEST_F(BasicEditorsTest, PatternCellsTakeTwoBitStrokes) {
  struct Case {
    const char* typed;
    const char* shown;  // the cell after the edit: '0' + each stroke's level
    int count;
  };
  const Case cases[] = {
      {"3012", "3012", 4},          // levels 3, rest, 1, 2
      {"123", "123", 3},            //
      {"4567", "0000", 4},          // 4..7 are no levels of the older records
      {"9", "0", 1},                // a lone 9: one rest stroke
      {"a1b2", "0102", 4},          // letters are rests
      {"33333333", "33333333", 8},  //
      {"123123123", "12312312", 8}, // the ninth character is ignored
      {"", "", 0},                  // an empty cell plays nothing
  };
  SelectFormula(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    form->ClearModified();
    SelectTrack(3, 4);  // track 3, beat 3
    Type(form->SGDatosFormula, 4, 3, c.typed);
    EXPECT_EQ(form->SGDatosFormula->Cells(4, 3), c.shown);
    EXPECT_EQ(F(0).StrokeCount(2, 2), c.count);
    const FormulaV1 old = FormulaToV1(F(0));
    for (int s = 0; s < c.count; ++s) EXPECT_EQ(old.Level(2, 2, s), c.shown[s] - '0') << s;
    // Levels 1..3 are the stroke codes 5..7 of the records in memory.
    for (int s = 0; s < c.count; ++s) {
      const int level = c.shown[s] - '0';
      EXPECT_EQ(F(0).Stroke(2, 2, s), level == 0 ? 0 : level + 4) << s;
    }
    EXPECT_TRUE(form->Modified());
  }
  // The sound column takes no strokes: its text comes back, the record stays.
  const Formula before = F(0);
  Type(form->SGDatosFormula, 1, 3, "123");
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 3), form->CBSonidos->itemText(F(0).sounds[2]));
  EXPECT_EQ(std::memcmp(&before, &F(0), sizeof(Formula)), 0);
}

// Eight track rows; the beat count sets the pattern grid's columns and width
// and the progress bar's width; a refused count or first beat changes no
// record but is an edit all the same.
TEST_F(BasicEditorsTest, PatternGridFollowsTheBeats) {
  SelectFormula(6);  // Tango, 4 beats
  EXPECT_EQ(form->SGDatosFormula->RowCount(), 9);
  EXPECT_EQ(form->SGDatosFormula->ColCount(), 6);
  // As wide as its columns: 55 pixels a beat after the number and the sound
  // (114 pixels, more where their headings need it in the font at hand).
  EXPECT_EQ(form->SGDatosFormula->width(), form->SGDatosFormula->WidthForColumns(false));
  EXPECT_GE(form->SGDatosFormula->width(), 55 * 4 + 114);
  EXPECT_EQ(form->ProgressBar1->width(), 55 * 4);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(form->AccentBoxes[k - 1]->isHidden(), k > 4) << k;

  Type(form->SGFormulas, 1, 6, "7");
  EXPECT_EQ(F(5).Beats(), 7);
  EXPECT_EQ(form->SGDatosFormula->ColCount(), 9);
  EXPECT_EQ(form->SGDatosFormula->width(), form->SGDatosFormula->WidthForColumns(false));
  EXPECT_GE(form->SGDatosFormula->width(), 55 * 7 + 114);
  EXPECT_EQ(form->ProgressBar1->width(), 55 * 7);

  for (const char* bad : {"13", "0", "x", ""}) {
    SCOPED_TRACE(bad);
    form->ClearModified();
    Type(form->SGFormulas, 1, 6, bad);
    Type(form->SGFormulas, 3, 6, bad);
    EXPECT_EQ(F(5).header, 0x07);
    EXPECT_TRUE(form->Modified());
  }
  // Leaving the grid shows the record's values again.
  form->SGFormulasExit();
  EXPECT_EQ(form->SGFormulas->Cells(1, 6), "7");
  EXPECT_EQ(form->SGFormulas->Cells(3, 6), "1");

  // First beat 12: the labels count 12, 1, 2, ...
  Type(form->SGFormulas, 3, 6, "12");
  EXPECT_EQ(F(5).StartBeat(), 11);
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 0), "T 12");
  EXPECT_EQ(form->SGDatosFormula->Cells(3, 0), "T 1");
  EXPECT_EQ(form->SGDatosFormula->Cells(8, 0), "T 6");
}

// The formula grid's cell editors: a name of at most 5 characters, numbers
// of at most two digits; a longer name given to the handler keeps 5.
TEST_F(BasicEditorsTest, FormulaNamesTakeFiveCharacters) {
  form->show();
  SelectFormula(3);
  StringGrid* g = form->SGFormulas;
  auto editorOf = [&](int col, int row) -> QLineEdit* {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g->setCurrentCell(row, col);
    g->edit(g->model()->index(row, col));
    QApplication::processEvents();
    return g->viewport()->findChild<QLineEdit*>();
  };
  QLineEdit* name = editorOf(2, 3);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->maxLength(), 5);
  name->selectAll();
  QTest::keyClicks(name, "Bulerias");
  EXPECT_EQ(name->text(), "Buler");
  QTest::keyClick(name, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(F(2).Name(), "Buler");
  EXPECT_TRUE(form->Modified());

  for (int col : {1, 3}) {
    SCOPED_TRACE(col);
    QLineEdit* number = editorOf(col, 3);
    ASSERT_NE(number, nullptr);
    EXPECT_LE(number->maxLength(), 2);
    ASSERT_NE(number->validator(), nullptr);
    QString text = "12";
    int pos = 0;
    EXPECT_EQ(number->validator()->validate(text, pos), QValidator::Acceptable);
    text = "1a";
    EXPECT_EQ(number->validator()->validate(text, pos), QValidator::Invalid);
    QTest::keyClick(number, Qt::Key_Escape);
    QApplication::processEvents();
  }

  // Text longer than the field, handed to the handler, keeps its first 5.
  Type(g, 2, 3, QString::fromUtf8("Soleares"));
  EXPECT_EQ(F(2).Name(), "Solea");
  for (int i = 5; i < 16; ++i) EXPECT_EQ(F(2).name[i], '\0') << i;
  EXPECT_EQ(form->Label7->text(), "Soleares");
}

// While the grids are refilled by code a name typed into the formula grid is
// not stored; a refill inside another leaves the mark up until the outer one
// ends, and a refill leaves it down.
TEST_F(BasicEditorsTest, TypedNamesWaitForTheRefill) {
  StringGrid* g = form->SGFormulas;
  {
    const library_steps::GridsFillingScope outer(form->DataSet);
    {
      const library_steps::GridsFillingScope inner(form->DataSet);
      Type(g, 2, 3, "Uno");
    }
    EXPECT_TRUE(form->DataSet.GridsFilling & kGridsFillingBit);
    Type(g, 2, 3, "Dos");
    EXPECT_EQ(F(2).Name(), "Alegr");
  }
  EXPECT_FALSE(form->DataSet.GridsFilling & kGridsFillingBit);
  Type(g, 2, 3, "Tres");
  EXPECT_EQ(F(2).Name(), "Tres");

  form->RefillFormulaRows();
  EXPECT_EQ(form->DataSet.GridsFilling, 0);
  EXPECT_EQ(g->Cells(2, 3), "Tres");
  Type(g, 2, 3, "Cuatro");
  EXPECT_EQ(F(2).Name(), "Cuatr");
}

// A record whose beat count is 0 or above 12 is shown as 12 beats and named
// with 5 blanks when it is selected; its pattern is kept.
TEST_F(BasicEditorsTest, BadBeatCountRenamesToFiveBlanks) {
  for (uint8_t header : {uint8_t{0x30}, uint8_t{0x0D}}) {
    SCOPED_TRACE(header);
    F(2).header = header;
    const int32_t cell = F(2).cells[0][0];
    SelectFormula(3);
    EXPECT_EQ(F(2).header, 12);
    EXPECT_EQ(std::string(F(2).name, 16), std::string("     ") + std::string(11, '\0'));
    EXPECT_EQ(F(2).cells[0][0], cell);
    EXPECT_EQ(form->SGDatosFormula->ColCount(), 14);
    EXPECT_EQ(form->Engine->FormulaBeats, 12);
  }
}

// A sound number beyond the 16 of a basic set reads as silence and is stored
// so; choosing a sound is not counted as a change of the set.
TEST_F(BasicEditorsTest, SoundsAboveSixteenReadAsSilence) {
  F(1).sounds[2] = 17;
  F(1).sounds[4] = 16;
  SelectFormula(2);
  EXPECT_EQ(F(1).sounds[2], 0);
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 3), "Silencio");
  EXPECT_EQ(F(1).sounds[4], 16);  // 16 is a sound number (beyond this list: "Silencio")
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 5), "Silencio");

  form->ClearModified();
  SelectTrack(3, 1);
  EXPECT_TRUE(form->CBSonidos->isVisibleTo(form->GroupBox2));
  form->CBSonidosChange(4);
  EXPECT_EQ(F(1).sounds[2], 4);
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 3), L1(form->SoundList[3]));
  EXPECT_FALSE(form->Modified());
  // An index the list does not reach changes nothing.
  form->CBSonidosChange(form->CBSonidos->count());
  EXPECT_EQ(F(1).sounds[2], 4);
}

// The sound chooser stands over the sound cell of the selected track and is
// shown only for the sound column; selecting that column keeps it selected
// and moves no track, also with the stereo chart on.
TEST_F(BasicEditorsTest, SoundChooserSitsOverTheSelectedSoundCell) {
  form->show();
  form->cb3d->setChecked(true);
  form->cb3dClick();
  SelectFormula(1);
  const Formula before = F(0);
  QWidget* parent = form->CBSonidos->parentWidget();
  StringGrid* g = form->SGDatosFormula;
  for (int row : {1, 3, 8}) {
    SCOPED_TRACE(row);
    SelectTrack(row, 1);
    EXPECT_EQ(g->Row(), row);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(form->UpDown1->value(), row - 1);
    EXPECT_TRUE(form->CBSonidos->isVisibleTo(parent));
    EXPECT_EQ(form->CBSonidos->currentIndex(), F(0).sounds[row - 1]);
    const QRect cell = g->visualRect(g->model()->index(row, 1));
    const QPoint cellAt = g->viewport()->mapTo(parent, cell.topLeft());
    EXPECT_EQ(form->CBSonidos->geometry().topLeft(), cellAt);
    EXPECT_EQ(form->CBSonidos->width(), cell.width());
  }
  SelectTrack(3, 1);
  const int y3 = form->CBSonidos->y();
  SelectTrack(5, 1);
  EXPECT_EQ(form->CBSonidos->y() - y3, 2 * g->rowHeight(3));
  SelectTrack(5, 4);
  EXPECT_FALSE(form->CBSonidos->isVisibleTo(parent));
  EXPECT_EQ(std::memcmp(&before, &F(0), sizeof(Formula)), 0);
}

// The count buttons store the mode and enable the save button; the labels
// follow the mode; the length label reads "%d.%d'" in both languages.
TEST_F(BasicEditorsTest, CountButtonsEnableSaveAndRelabel) {
  SelectFormula(4);  // Buler: accents 0x549 (beats 1, 4, 7, 9, 11), first beat 12
  form->ClearModified();
  form->RBAcento->setChecked(true);
  form->RBAcentoClick();
  EXPECT_TRUE(F(3).CountByAccents());
  EXPECT_TRUE(form->botonrec->isEnabled());
  const char* byAccents[] = {"T 1", "T 1", "T 1", "T 2", "T 2", "T 2", "T 3", "T 3", "T 4", "T 4", "T 5", "T 5"};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(form->SGDatosFormula->Cells(k + 2, 0), byAccents[k]) << k;
  form->ClearModified();
  form->RBTiempo->setChecked(true);
  form->RBTiempoClick();
  EXPECT_FALSE(F(3).CountByAccents());
  EXPECT_TRUE(form->botonrec->isEnabled());
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 0), "T 12");
  EXPECT_EQ(form->SGDatosFormula->Cells(3, 0), "T 1");

  struct Case {
    float bpm;
    int row;
    const char* label;
  };
  for (const Case c : {Case{120, 4, "6.0'"}, Case{20, 4, "36.0'"}, Case{90, 6, "2.6'"}}) {
    for (bool english : {false, true}) {
      form->English = english;
      form->Work->Engine->CurrentBpm = c.bpm;
      SelectFormula(c.row);
      EXPECT_EQ(form->Label22->text(), c.label) << c.bpm << " " << english;
    }
  }
  form->English = false;
}

// Owner drawing in the desk's colours: the formula grid's numbers on the
// fixed cells' ground, the formula to add on its deep blue; the pattern
// grid's sound names and header, the theme grid's header row and number
// column and the sequence grid's header and first three columns on the
// fixed cells' ground.
TEST_F(BasicEditorsTest, GridsAreOwnerDrawn) {
  form->show();
  form->SGFormulasMouseMove();  // the mouse comes over the grid and clicks row 2
  SelectFormula(2);
  form->SGFormulasClick();
  QApplication::processEvents();
  const QColor fixed = DeskTheme().fixedCell;
  EXPECT_EQ(CellColour(form->SGFormulas, 0, 1), fixed);
  EXPECT_EQ(CellColour(form->SGFormulas, 0, 2), DeskTheme().toAdd);
  EXPECT_EQ(CellColour(form->SGFormulas, 0, 3), fixed);
  EXPECT_EQ(form->Label25->text(), QString::fromUtf8("Añadir F 2 Soleá"));

  EXPECT_EQ(CellColour(form->SGDatosFormula, 1, 1), fixed);
  EXPECT_EQ(CellColour(form->SGDatosFormula, 1, 8), fixed);
  EXPECT_EQ(CellColour(form->SGDatosFormula, 2, 0), fixed);
  EXPECT_EQ(CellColour(form->SGDatosFormula, 13, 0), fixed);

  for (int c = 0; c < 3; ++c) EXPECT_EQ(CellColour(form->SGTemas, c, 0), fixed) << c;
  for (int r = 1; r < 7; ++r) EXPECT_EQ(CellColour(form->SGTemas, 0, r), fixed) << r;
  for (int c = 0; c < 6; ++c) EXPECT_EQ(CellColour(form->SGSaco, c, 0), fixed) << c;
  for (int r = 1; r < form->SGSaco->RowCount(); ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(CellColour(form->SGSaco, c, r), fixed) << c << "," << r;
  // The data cells stand on the lighter ground of the cells, so the fixed
  // ones still read as headings.
  EXPECT_NE(CellColour(form->SGSaco, 3, 1), fixed);
}

// The theme grid's third column is the theme tempo: 20..400 is taken and
// moves the theme slider; anything else is refused. Every edit marks the set.
TEST_F(BasicEditorsTest, ThemeTempoColumn) {
  struct Case {
    const char* typed;
    int stored;  // the record's tempo after the edit (140 before)
  };
  const Case cases[] = {{"150", 150}, {"20", 20}, {"400", 400}, {"19", 140}, {"401", 140},
                        {"0", 140},   {"abc", 140}, {"", 140},  {" 99 ", 99}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    T(0).tempos[0] = 140;
    SelectTema(1, 2);
    ASSERT_EQ(form->TB1->value(), 420 - 140);
    form->ClearModified();
    Type(form->SGTemas, 2, 1, c.typed);
    EXPECT_EQ(T(0).tempos[0], c.stored);
    EXPECT_EQ(form->TB1->value(), 420 - c.stored);
    EXPECT_TRUE(form->Modified());
    // The sequence grid shows the theme tempo on its first and end rows.
    EXPECT_EQ(form->SGSaco->Cells(1, 1), QString::number(c.stored));
    EXPECT_EQ(form->SGSaco->Cells(1, 2), QString::number(c.stored));
  }
}

// A theme name keeps 14 characters in the record.
TEST_F(BasicEditorsTest, ThemeNamesTakeFourteenCharacters) {
  SelectTema(2);
  form->ClearModified();
  Type(form->SGTemas, 1, 2, QString::fromUtf8("Soleá por bulerías"));
  EXPECT_EQ(T(1).Name(), ToL1(QString::fromUtf8("Soleá por bule")));
  EXPECT_EQ(T(1).name[14], '\0');
  EXPECT_EQ(form->Label2->text(), QString::fromUtf8("Tema : Soleá por bulerías"));
  EXPECT_TRUE(form->Modified());
  Type(form->SGTemas, 1, 2, "Corto");
  EXPECT_EQ(T(1).Name(), "Corto");
}

// The sequence grid: bar, tempo in force and formula name in its three fixed
// columns, then formula number, repetitions and acceleration; the tempo in
// force is shown on every row and grows by repetitions x acceleration.
TEST_F(BasicEditorsTest, SequenceGridShowsTheTempoInForceOnEveryRow) {
  Tema& t = T(2);  // "Alegrías" at 190 bpm
  t.tempos[0] = 120;
  t.entryCount = 3;
  const int formulas[] = {2, 5, 3}, times[] = {2, 1, 3}, accel[] = {5, 0, -10};
  for (int e = 0; e < 3; ++e) {
    t.formulas[e] = static_cast<uint16_t>(formulas[e]);
    t.times[e] = static_cast<uint8_t>(times[e]);
    t.accel[e] = static_cast<int8_t>(accel[e]);
  }
  t.times[3] = 9;  // the selection writes the end mark
  SelectTema(3);
  EXPECT_EQ(t.times[3], 0);
  StringGrid* g = form->SGSaco;
  ASSERT_EQ(g->RowCount(), 5);
  struct Row {
    const char *bar, *bpm, *name, *formula, *times, *accel;
  };
  const Row rows[] = {
      {"1", "120", "Alegr", "3", "2", "5"},
      {"3", "130", "Tango", "6", "1", "0"},    // 120 + 2 x 5
      {"4", "130", "Buler", "4", "3", "-10"},  // no acceleration: 130 again
      {"7", "100", "", "", "", ""},            // end row: 130 - 3 x 10
  };
  for (int r = 0; r < 4; ++r) {
    SCOPED_TRACE(r);
    const char* want[] = {rows[r].bar, rows[r].bpm, rows[r].name, rows[r].formula, rows[r].times, rows[r].accel};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(g->Cells(c, r + 1), QString::fromUtf8(want[c])) << c;
  }
  EXPECT_EQ(form->Engine->CompasCount, 7);
  // Three fixed columns: bar, tempo and name are not typed into.
  for (int c = 0; c < 6; ++c)
    EXPECT_EQ((g->item(1, c)->flags() & Qt::ItemIsEditable) != 0, c >= 3) << c;
  EXPECT_EQ(g->Cells(1, 0), "BPM");
  EXPECT_EQ(g->Cells(2, 0), "Nombre");
}

// An entry edit takes a formula number 1..FormulaCount and 1..99 repetitions
// with an acceleration that fits its byte; a refused edit stores nothing and
// leaves the typed text; every edit marks the set.
TEST_F(BasicEditorsTest, EntryEditLimits) {
  struct Case {
    int col;
    const char* typed;
    bool taken;
  };
  const Case cases[] = {
      {3, "6", true},   {3, "1", true},     {3, "0", false},   {3, "7", false},  {3, "x", false},
      {4, "99", true},  {4, "1", true},     {4, "100", false}, {4, "0", false},  {4, "255", false},
      {5, "127", true}, {5, "-128", true},  {5, "128", false}, {5, "-129", false}, {5, "0", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.col) + " " + c.typed);
    T(5).formulas[0] = 5;
    T(5).times[0] = 8;
    T(5).accel[0] = 0;
    SelectTema(6);
    SelectEntry(1, c.col);
    form->ClearModified();
    const Tema before = T(5);
    Type(form->SGSaco, c.col, 1, c.typed);
    EXPECT_TRUE(form->Modified());
    const int v = ReadDecimal(c.typed);
    if (c.taken) {
      EXPECT_EQ(T(5).formulas[0], c.col == 3 ? v - 1 : 5);
      EXPECT_EQ(T(5).times[0], c.col == 4 ? v : 8);
      EXPECT_EQ(T(5).accel[0], c.col == 5 ? v : 0);
    } else {
      EXPECT_EQ(std::memcmp(&before, &T(5), sizeof(Tema)), 0);
    }
    EXPECT_EQ(form->SGSaco->Cells(c.col, 1), QString::fromLatin1(c.typed));
    // The edited cell is selected again.
    EXPECT_EQ(form->SGSaco->Row(), 1);
    EXPECT_EQ(form->SGSaco->Col(), c.col);
  }
  // The end row takes nothing: the typed text goes away again.
  SelectTema(6);
  const int end = form->SGSaco->RowCount() - 1;
  const Tema before = T(5);
  Type(form->SGSaco, 4, end, "3");
  EXPECT_TRUE(form->SGSaco->Cells(4, end).isEmpty());
  EXPECT_EQ(std::memcmp(&before, &T(5), sizeof(Tema)), 0);
}

// After an entry edit the formula grid and the pattern grid show the entry's
// formula, and the bars and the tempo in force are counted again.
TEST_F(BasicEditorsTest, EntryEditFollowsTheFormula) {
  SelectTema(3);  // Alegrías: formula 3 twice, 4 times each, 190 bpm
  SelectEntry(2, 3);
  Type(form->SGSaco, 3, 2, "5");
  EXPECT_EQ(T(2).formulas[1], 4);
  EXPECT_EQ(form->SGFormulas->Row(), 5);
  EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Fórmula 5"));
  EXPECT_EQ(form->SGSaco->Cells(2, 2), "Segui");
  Type(form->SGSaco, 5, 1, "2");
  Type(form->SGSaco, 4, 1, "3");
  EXPECT_EQ(form->SGSaco->Cells(0, 2), "4");
  EXPECT_EQ(form->SGSaco->Cells(1, 2), "196");  // 190 + 3 x 2
  EXPECT_EQ(form->SGSaco->Cells(0, 3), "8");
  EXPECT_EQ(form->SGFormulas->Row(), 3);  // the edited entry's formula
  EXPECT_EQ(form->SGSaco->Row(), 1);
  EXPECT_EQ(form->SGSaco->Col(), 4);
}

// Selecting an entry takes no tempo from the grid, selects its formula and,
// with "Estéreo" on, redraws the stereo chart for it.
TEST_F(BasicEditorsTest, SelectingAnEntryKeepsTheTempoAndRedrawsTheChart) {
  T(2).formulas[1] = 5;
  SelectTema(3);
  form->cb3d->setChecked(true);
  form->cb3dClick();
  form->Work->Engine->CurrentBpm = 77.0f;
  SelectEntry(2);
  EXPECT_EQ(form->Engine->CurrentBpm, 77.0f);
  EXPECT_EQ(form->SGFormulas->Row(), 6);
  EXPECT_EQ(form->Chart1Chart->title(), form->Label1->text() + "-" + form->Label7->text() + " " +
                                            form->Label14->text());
  EXPECT_TRUE(form->Chart1Chart->title().startsWith(QString::fromUtf8("Fórmula 6-Tango")));
  const auto slices = form->Series1->slices();
  ASSERT_EQ(slices.size(), 10);
  EXPECT_EQ(slices[8]->label(), "1-" + form->SGDatosFormula->Cells(1, 1));
}

// Track moves: up from row 1 and down from row 8 do nothing; a move swaps the
// two tracks' sounds, cells and stroke counts, marks the set, and the stereo
// chart follows the moved track.
TEST_F(BasicEditorsTest, TrackMovesStopAtTheLastTrackAndRedrawTheChart) {
  SelectFormula(1);
  form->cb3d->setChecked(true);
  form->cb3dClick();
  StringGrid* g = form->SGDatosFormula;
  const Formula before = F(0);

  form->ClearModified();
  SelectTrack(1);
  form->Moveralaizquierda1Click();
  SelectTrack(8);
  form->Moveraladerecha1Click();
  EXPECT_EQ(g->Row(), 8);
  EXPECT_EQ(std::memcmp(&before, &F(0), sizeof(Formula)), 0);
  EXPECT_FALSE(form->Modified());

  // Row 7 down: tracks 7 and 8 change places.
  SelectTrack(7);
  const QString sound7 = g->Cells(1, 7), sound8 = g->Cells(1, 8);
  form->Moveraladerecha1Click();
  EXPECT_EQ(g->Row(), 8);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(F(0).sounds[7], before.sounds[6]);
  EXPECT_EQ(F(0).sounds[6], before.sounds[7]);
  for (int b = 0; b < 12; ++b) {
    EXPECT_EQ(F(0).cells[b][7], before.cells[b][6]) << b;
    EXPECT_EQ(F(0).StrokeCount(b, 7), before.StrokeCount(b, 6)) << b;
    EXPECT_EQ(F(0).StrokeCount(b, 6), before.StrokeCount(b, 7)) << b;
  }
  EXPECT_EQ(g->Cells(1, 8), sound7);
  EXPECT_EQ(g->Cells(1, 7), sound8);
  EXPECT_EQ(g->Cells(0, 8), "8");
  EXPECT_EQ(form->UpDown1->value(), 7);
  auto slices = form->Series1->slices();
  ASSERT_EQ(slices.size(), 10);
  EXPECT_EQ(slices[1]->label(), "8-" + sound7);
  EXPECT_EQ(slices[1]->color(), QColor(Qt::green));
  EXPECT_EQ(slices[2]->label(), "7-" + sound8);

  // The chart's arrows: from row 5, up to 5 moves the track to row 6.
  SelectTrack(5);
  EXPECT_EQ(form->UpDown1->value(), 4);
  const QString sound5 = g->Cells(1, 5);
  form->UpDown1->setValue(5);
  EXPECT_EQ(g->Row(), 6);
  EXPECT_EQ(g->Col(), 2);
  EXPECT_EQ(g->Cells(1, 6), sound5);
  slices = form->Series1->slices();
  EXPECT_EQ(slices[9 - 6]->label(), "6-" + sound5);
  EXPECT_EQ(slices[9 - 6]->color(), QColor(Qt::green));
  // Down to 3 from row 6 moves it back one row, to 5.
  form->UpDown1->setValue(3);
  EXPECT_EQ(g->Row(), 5);
  EXPECT_EQ(g->Cells(1, 5), sound5);
}

// The insert buttons: the formula to add goes before the selected entry, or
// right after it; under an entry of the same formula it adds a repetition;
// on the end row it is appended. Removing takes one repetition, then the
// entry. The bars and the tempo in force follow.
TEST_F(BasicEditorsTest, InsertAndRemoveEntries) {
  T(2).accel[0] = 1;  // Alegrías: formula 3 (x4, accel 1), formula 3 (x4), 190 bpm
  SelectTema(3);
  form->SGFormulasMouseMove();
  SelectFormula(6);
  form->SGFormulasClick();  // Tango is the formula to add
  StringGrid* g = form->SGSaco;

  SelectEntry(1);
  form->ClearModified();
  form->BotonPoneDespuesClick();  // another formula: a new entry below the first
  ASSERT_EQ(T(2).entryCount, 3);
  EXPECT_EQ(T(2).formulas[1], 5);
  EXPECT_EQ(T(2).times[1], 1);
  EXPECT_EQ(g->Row(), 2);
  EXPECT_EQ(g->Cells(2, 2), "Tango");
  EXPECT_EQ(g->Cells(0, 3), "6");
  EXPECT_EQ(g->Cells(1, 2), "194");  // 190 + 4 x 1
  EXPECT_TRUE(form->Modified());

  form->BotonPoneAntesClick();  // the selected entry is Tango: one more repetition
  EXPECT_EQ(T(2).entryCount, 3);
  EXPECT_EQ(T(2).times[1], 2);
  EXPECT_EQ(g->Cells(4, 2), "2");

  SelectEntry(g->RowCount() - 1);  // the end row: appended
  form->BotonPoneAntesClick();
  EXPECT_EQ(T(2).entryCount, 4);
  EXPECT_EQ(T(2).formulas[3], 5);
  EXPECT_EQ(g->RowCount(), 6);
  EXPECT_EQ(g->Cells(0, 5), "12");

  SelectEntry(2);
  form->BotonQuitaClick();
  EXPECT_EQ(T(2).times[1], 1);
  form->BotonQuitaClick();
  EXPECT_EQ(T(2).entryCount, 3);
  EXPECT_EQ(T(2).formulas[1], 2);
  EXPECT_EQ(g->RowCount(), 5);
  SelectEntry(g->RowCount() - 1);
  form->BotonQuitaClick();  // the end row holds no entry
  EXPECT_EQ(T(2).entryCount, 3);
}

// Parts, intro, ending and order as typed and chosen: values beyond their
// fields are kept within them; the selection reads them back.
TEST_F(BasicEditorsTest, PartsIntroEndingAndOrder) {
  SelectTema(2);
  form->ClearModified();
  form->Partes->setText("200");
  form->Intro->setText("13");
  form->Fin->setText("3");
  EXPECT_EQ(T(1).Parts(), 127);
  EXPECT_EQ(T(1).Intro(), 12);
  EXPECT_EQ(T(1).Ending(), 3);
  EXPECT_TRUE(form->Modified());
  form->RadioButton2->setChecked(true);
  form->RadioButton1Click();
  EXPECT_FALSE(T(1).InOrder());
  SelectTema(1);
  SelectTema(2);
  EXPECT_EQ(T(1).Parts(), 0);  // 127 reads as no parts and is cleared
  EXPECT_TRUE(form->Partes->text().isEmpty());
  EXPECT_EQ(form->Intro->text(), "12");
  EXPECT_EQ(form->Fin->text(), "3");
  EXPECT_TRUE(form->RadioButton2->isChecked());
  EXPECT_FALSE(form->Engine->ThemeInOrder);
}

// A click in the formula grid picks the formula to add, unless an entry
// selection moved the grid by code: that click is skipped, and a key or a
// mouse move clears the skip.
TEST_F(BasicEditorsTest, FormulaToAddFollowsTheUsersClicks) {
  form->SGFormulasMouseMove();
  SelectFormula(4);
  form->SGFormulasClick();
  EXPECT_EQ(form->Pages.FormulaToAdd, 3);
  SelectEntry(1);  // theme 1 plays formula 1: the grid moves to row 1
  EXPECT_EQ(form->SGFormulas->Row(), 1);
  form->SGFormulasClick();
  EXPECT_EQ(form->Pages.FormulaToAdd, 3);
  form->SGFormulasClick();
  EXPECT_EQ(form->Pages.FormulaToAdd, 0);

  SelectEntry(1);
  form->SGFormulasMouseMove();
  SelectFormula(5);
  form->SGFormulasClick();
  EXPECT_EQ(form->Pages.FormulaToAdd, 4);
  SelectEntry(1);
  form->SGFormulasKeyDown();
  EXPECT_EQ(form->Pages.FormulaToAdd, 0);
  EXPECT_EQ(form->Label25->text(), QString::fromUtf8("Añadir F 1 Soleá"));
}

}  // namespace
