// The formula, track and theme editors in the real window, driven through
// their handlers on the factory set.
#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/ui/desk_theme.h"
#include "gui_fixture.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/notation.h"

namespace {
struct Entry {
  int formula, times, accel, tempo;  // formula 0-based; tempo 0 = keep
};

int CountPixels(const QImage& img, const QRect& r, const std::function<bool(QColor)>& pred) {
  int n = 0;
  const QRect clip = r.intersected(img.rect());
  for (int y = clip.top(); y <= clip.bottom(); ++y)
    for (int x = clip.left(); x <= clip.right(); ++x)
      if (pred(img.pixelColor(x, y))) ++n;
  return n;
}
bool Near(QColor c, int r, int g, int b, int tol = 40) {
  return std::abs(c.red() - r) <= tol && std::abs(c.green() - g) <= tol && std::abs(c.blue() - b) <= tol;
}
}  // namespace

class EditorWindow : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Start();
  }

  void SelectFormula(int row) {
    form->SGFormulas->Select(1, row);
    form->SGFormulasSelectCell(1, row);
  }
  void SelectTheme(int row) {
    form->SGTemas->Select(1, row);
    form->SGTemasSelectCell(1, row);
  }
  // Theme t made of the given entries, in order, at the given theme tempo.
  Tema& SetTheme(int t, int tempo, const std::vector<Entry>& es) {
    Tema& th = form->Rhythm->Temas[static_cast<size_t>(t)];
    const std::string name = th.Name();
    th = Tema{};
    InitNewTema(th, tempo);
    th.SetName(name);
    th.gain = 1.0f;
    th.partsOrder = 0x80;
    for (size_t e = 0; e < es.size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(es[e].formula);
      th.times[e] = static_cast<uint8_t>(es[e].times);
      th.accel[e] = static_cast<int8_t>(es[e].accel);
      if (e > 0) th.tempos[e] = static_cast<uint16_t>(es[e].tempo);
    }
    th.entryCount = static_cast<uint16_t>(es.size());
    return th;
  }
  void SelectEntry(int row, int col = 2) {
    form->SGSaco->Select(col, row);
    form->SGSacoSelectCell(col, row);
  }
  // What the grid does when the user types into a cell: the cell holds the
  // text, then the edit handler runs.
  void TypeEntry(int col, int row, const QString& text) {
    form->SGSaco->Select(col, row);
    form->SGSaco->SetCells(col, row, text);
    form->SGSacoSetEditText(col, row, text);
  }
  void ChooseFormulaToAdd(int row) {
    SelectFormula(row);
    form->SGFormulasMouseMove();
    form->SGFormulasClick();
  }
  QStringList SacoColumn(int col) const {
    QStringList l;
    for (int r = 1; r < form->SGSaco->RowCount(); ++r) l << form->SGSaco->Cells(col, r);
    return l;
  }
  QImage Grab(StringGrid* g) {
    form->show();
    QApplication::processEvents();
    return g->viewport()->grab().toImage();
  }
  QRect CellRect(StringGrid* g, int col, int row) const { return g->visualRect(g->model()->index(row, col)); }
};

// --- formula and track editor ---------------------------------------------------

TEST_F(EditorWindow, TypedStrokesGoToTheFormulaThePatternGridShows) {
  SelectFormula(2);
  form->ClearModified();
  // The sequencer may have moved on to another formula meanwhile.
  form->Rhythm->CurrentFormula = 5;
  const Formula other = form->Rhythm->Formulas[5];
  const struct {
    int col, row;
    const char* typed;
    int32_t cell;
    int count;
    const char* shown;
  } cases[] = {
      {2, 1, "7070", 455, 4, "7070"},
      {5, 16, "123456789", 1 | 2 << 3 | 3 << 6 | 4 << 9 | 5 << 12 | 6 << 15 | 7 << 18, 8, "12345670"},
      {3, 4, "9", 0, 1, "0"},
      {6, 9, "12345678", 1 | 2 << 3 | 3 << 6 | 4 << 9 | 5 << 12 | 6 << 15 | 7 << 18, 8, "12345670"},
      {7, 10, "1020", 1 | 2 << 6, 4, "1020"},
      {4, 7, "", 0, 0, ""},
  };
  for (const auto& c : cases) {
    form->SGDatosFormula->SetCells(c.col, c.row, c.typed);
    form->SGDatosFormulaSetEditText(c.col, c.row, c.typed);
    const Formula& f = form->Rhythm->Formulas[1];
    EXPECT_EQ(f.cells[c.col - 2][c.row - 1], c.cell) << c.typed;
    EXPECT_EQ(f.StrokeCount(c.col - 2, c.row - 1), c.count) << c.typed;
    EXPECT_EQ(form->SGDatosFormula->Cells(c.col, c.row), c.shown) << c.typed;
  }
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[5], &other, sizeof other), 0);

  // Text typed over a sound name touches no record and shows the sound again.
  const Formula before = form->Rhythm->Formulas[1];
  const QString sound = form->SGDatosFormula->Cells(1, 1);
  form->SGDatosFormula->SetCells(1, 1, "777");
  form->SGDatosFormulaSetEditText(1, 1, "777");
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 1), sound);
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[1], &before, sizeof before), 0);
}

TEST_F(EditorWindow, SelectionLoadsTheFormulaIntoGridsLabelsAndEngine) {
  Formula& f = form->Rhythm->Formulas[0];
  f.SetHeader(12, 11);  // first beat 12
  f.accents = 0x0AA4;
  StoreStrokeText(f, 4, 2, "1020");
  form->TB2->setValue(300);  // 120 bpm
  form->Work->Engine->CurrentBpm = 120.0f;
  SelectFormula(1);
  QStringList labels;
  for (int c = 2; c < form->SGDatosFormula->ColCount(); ++c) labels << form->SGDatosFormula->Cells(c, 0);
  EXPECT_EQ(labels, (QStringList{"T 12", "T 1", "T 2", "T 3", "T 4", "T 5", "T 6", "T 7", "T 8", "T 9", "T 10", "T 11"}));
  EXPECT_EQ(form->Engine->FormulaBeats, 12);
  EXPECT_EQ(form->Engine->FormulaStartBeat, 11);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 0);
  EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Fórmula 1"));
  EXPECT_EQ(form->Label7->text(), form->SGFormulas->Cells(2, 1));
  EXPECT_EQ(form->Label22->text(), QString::fromUtf8("Duración  6.0 seg"));
  EXPECT_EQ(form->Edit1->text(), "120");
  EXPECT_EQ(form->Engine->MsPerBeat, 500);
  EXPECT_EQ(form->Engine->SamplesPerBeat, 22049);
  EXPECT_EQ(form->SGDatosFormula->Cells(6, 3), "1020");
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 1).toStdString(), form->SoundList[f.sounds[0] - 1]);
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 16), "Silencio");
  EXPECT_TRUE(form->RBTiempo->isChecked());
  EXPECT_TRUE(form->SGFormulas->Editable);
  EXPECT_TRUE(form->Guards.AccentChangeByCode);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(form->AccentBoxes[k]->isChecked(), f.Accented(k)) << k;

  // English, 7 beats at 90 bpm.
  form->English = true;
  f.SetHeader(7, 0);
  form->Work->Engine->CurrentBpm = 90.0f;
  SelectFormula(1);
  EXPECT_EQ(form->Label22->text(), "Length  4.6 sec");
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 0), "B 1");
  EXPECT_EQ(form->Label1->text(), "Formula 1");
  EXPECT_EQ(form->SGDatosFormula->ColCount(), 9);
  // The grid holds every column (no scrolling), the panel holds the grid,
  // and each beat's accent box stands under its column.
  StringGrid* g = form->SGDatosFormula;
  int columns = 0;
  for (int c = 0; c < g->ColCount(); ++c) columns += g->columnWidth(c);
  EXPECT_GE(g->viewport()->width(), columns);
  EXPECT_LE(g->width(), columns + 7 + 12);
  // The panel ends after the grid, or after the captions above it where
  // they reach further (they are never cut by a short formula).
  int captions = 0;
  for (QLabel* l : {form->Label1, form->Label7, form->Label22, form->Label30, form->Label14})
    captions = std::max(captions, l->x() + l->width() + 4);
  EXPECT_EQ(form->PanelPistas->width(), std::max(g->x() + g->width() + 17, captions));
  for (int k = 0; k < 7; ++k) {
    const int left = g->x() + g->frameWidth() + g->columnViewportPosition(k + 2);
    const QRect box = form->AccentBoxes[k]->geometry();
    EXPECT_GE(box.left(), left) << k;
    EXPECT_LE(box.right(), left + g->columnWidth(k + 2)) << k;
  }
  for (int k = 0; k < 12; ++k) EXPECT_EQ(form->AccentBoxes[k]->isHidden(), k >= 7) << k;

  // A beat count of 0 is mended on selection: 12 beats, blank name, pattern kept.
  f.header = 0x30;
  SelectFormula(1);
  EXPECT_EQ(f.header, 12);
  EXPECT_EQ(std::string(f.name, 16), std::string(16, ' '));
  EXPECT_EQ(form->Engine->FormulaBeats, 12);
  EXPECT_EQ(f.StrokeCount(4, 2), 4);
  EXPECT_FALSE(form->Modified());
}

TEST_F(EditorWindow, CountingByAccentsAndTheCountButtons) {
  Formula& f = form->Rhythm->Formulas[0];
  f.SetHeader(12, 0);
  f.accents = 0x8AA4;  // accents 3, 6, 8, 10, 12, count by accents
  SelectFormula(1);
  EXPECT_TRUE(form->RBAcento->isChecked());
  QStringList labels, stored;
  for (int k = 0; k < 12; ++k) {
    labels << form->SGDatosFormula->Cells(k + 2, 0);
    stored << QString::fromStdString(form->FormulaEd.AccentCountLabels[k]);
  }
  EXPECT_EQ(labels, (QStringList{"T 1", "T 1", "T 1", "T 1", "T 1", "T 2", "T 2", "T 3", "T 3", "T 4", "T 4", "T 5"}));
  EXPECT_EQ(stored, (QStringList{"1", "1", "1", "1", "1", "2", "2", "3", "3", "4", "4", "5"}));

  // Set by code the buttons store nothing.
  form->ClearModified();
  form->Guards.CountModeByCode = true;
  form->RBTiempoClick();
  EXPECT_EQ(f.accents, 0x8AA4);
  form->Guards.CountModeByCode = false;

  // The user's choice shows the save button even while a theme plays.
  form->Work->Engine->ThemePlayback = true;
  form->Timer1->start();
  form->RBTiempo->setChecked(true);
  form->RBTiempoClick();
  form->Timer1->stop();
  form->Work->Engine->ThemePlayback = false;
  EXPECT_EQ(f.accents, 0x0AA4);
  EXPECT_TRUE(form->Modified());
  // Clicked again while already on: nothing changes, nothing is marked.
  form->ClearModified();
  form->RBTiempoClick();
  EXPECT_EQ(f.accents, 0x0AA4);
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(form->SGDatosFormula->Cells(7, 0), "T 6");
  form->RBAcento->setChecked(true);
  form->RBAcentoClick();
  EXPECT_EQ(f.accents, 0x8AA4);
  EXPECT_EQ(form->SGDatosFormula->Cells(7, 0), "T 2");
}

TEST_F(EditorWindow, AccentBoxesStoreVisibleBeatsOnlyOnceTheMouseWentDown) {
  Formula& f = form->Rhythm->Formulas[0];
  f.SetHeader(12, 0);
  f.accents = 0x8AA4;
  SelectFormula(1);
  form->ClearModified();
  form->AccentBoxes[0]->setChecked(true);
  form->CheckBox1Click();  // the selection's own guard is still up
  EXPECT_EQ(f.accents, 0x8AA4);
  EXPECT_FALSE(form->Modified());

  // 12 beats cut to 4: the next click keeps boxes 1..4 and clears the rest.
  form->SGFormulasSetEditText(1, 1, "4");
  form->CheckBox2MouseDown();
  form->CheckBox1Click();
  EXPECT_EQ(f.accents, 0x8005);  // boxes 1 and 3, count mode kept
  EXPECT_TRUE(form->Modified());
  for (int k = 0; k < 12; ++k) EXPECT_EQ(form->AccentBoxes[k]->isHidden(), k >= 4) << k;
  EXPECT_TRUE(form->Guards.AccentChangeByCode);  // the reselection set the boxes by code again
}

TEST_F(EditorWindow, FormulaGridEditsGoToTheTypedRowWithinTheirRanges) {
  SelectFormula(1);
  Formula& f = form->Rhythm->Formulas[2];
  f.SetHeader(12, 0);
  const struct {
    int col;
    const char* typed;
    int header;
  } cases[] = {
      {1, "15", 0x0C}, {1, "0", 0x0C},  {1, "abc", 0x0C}, {3, "13", 0x0C},
      {3, "12", 0xBC}, {1, "4", 0xB4},  {3, "1", 0x04},   {1, " 12 ", 0x0C},
  };
  for (const auto& c : cases) {
    form->ClearModified();
    form->SGFormulasSetEditText(c.col, 3, c.typed);
    EXPECT_EQ(f.header, c.header) << c.col << " " << c.typed;
    EXPECT_TRUE(form->Modified());  // marked even when the value is refused
  }
  EXPECT_EQ(form->Rhythm->Formulas[0].header & 0x0F, form->Engine->FormulaBeats);  // the shown one untouched

  form->SGFormulasSetEditText(2, 3, "A formula name longer than sixteen");
  EXPECT_EQ(f.Name(), "A formula name l");

  // While the open refills the grids nothing is stored.
  form->DataSet.GridsFilling |= kGridsFillingBit;
  form->SGFormulasSetEditText(2, 3, "Ignored");
  form->DataSet.GridsFilling = 0;
  EXPECT_EQ(f.Name(), "A formula name l");

  // On the shown formula a new beat count reshapes the pattern grid, a new
  // first beat relabels it.
  SelectFormula(3);
  form->SGFormulasSetEditText(1, 3, "5");
  EXPECT_EQ(form->SGDatosFormula->ColCount(), 7);
  EXPECT_EQ(form->Engine->FormulaBeats, 5);
  form->SGFormulasSetEditText(3, 3, "11");
  EXPECT_EQ(form->Engine->FormulaStartBeat, 10);
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 0), "T 11");
  EXPECT_EQ(form->SGDatosFormula->Cells(4, 0), "T 1");

  // Leaving the grid shows the record's values again in place of refused text.
  form->SGFormulas->SetCells(1, 3, "99");
  form->SGFormulasSetEditText(1, 3, "99");
  form->SGFormulasExit();
  EXPECT_EQ(form->SGFormulas->Cells(1, 3), "5");
  EXPECT_EQ(form->SGFormulas->Cells(3, 3), "11");
}

TEST_F(EditorWindow, FormulaToAddFollowsClicksButNotCodeMoves) {
  ChooseFormulaToAdd(3);
  EXPECT_EQ(form->FormulaEd.FormulaToAdd, 2);
  EXPECT_EQ(form->Label25->text(), QString::fromUtf8("Añadir F 3 ") + form->SGFormulas->Cells(2, 3));

  // An entry selection moves the formula grid by code: the click that
  // follows is not the user's.
  SelectTheme(1);
  EXPECT_TRUE(form->Guards.SkipFormulaClick);
  form->SGFormulas->Select(1, 5);
  form->SGFormulasClick();
  EXPECT_EQ(form->FormulaEd.FormulaToAdd, 2);
  EXPECT_FALSE(form->Guards.SkipFormulaClick);
  form->SGFormulasClick();
  EXPECT_EQ(form->FormulaEd.FormulaToAdd, 4);

  // A key clears the skip and takes the row at once.
  form->Guards.SkipFormulaClick = true;
  form->English = true;
  form->SGFormulas->Select(1, 2);
  form->SGFormulasKeyDown();
  EXPECT_EQ(form->FormulaEd.FormulaToAdd, 1);
  EXPECT_TRUE(form->Label25->text().startsWith("Add F 2 "));
}

TEST_F(EditorWindow, KeysAndLeavingTheFormulaGrid) {
  form->show();
  SelectFormula(2);
  form->Guards.SkipFormulaClick = true;
  // A key that moves the selection: the row it reaches is the formula to add.
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(form->SGFormulas, &down);
  QApplication::sendEvent(form->SGFormulas, &up);
  EXPECT_EQ(form->SGFormulas->Row(), 3);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 2);
  EXPECT_EQ(form->FormulaEd.FormulaToAdd, 2);
  EXPECT_FALSE(form->Guards.SkipFormulaClick);

  // Leaving the grid by a click elsewhere shows the record again.
  form->activateWindow();
  form->SGFormulas->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  if (!form->SGFormulas->hasFocus()) GTEST_SKIP() << "no focus on this platform";
  form->SGFormulas->SetCells(1, 3, "77");
  form->Partes->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(form->SGFormulas->Cells(1, 3), QString::number(form->Rhythm->Formulas[2].Beats()));
}

TEST_F(EditorWindow, UseMarkNamesTheFirstThemeUsingTheFormula) {
  SelectFormula(1);
  EXPECT_TRUE(form->FormulaEd.FormulaInUse);
  EXPECT_EQ(form->Label14->text(), QString::fromUtf8("Usada en Tema 1 ") + form->SGTemas->Cells(1, 1));
  EXPECT_EQ(form->Label14->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  form->Nuevafrmula1Click();
  EXPECT_FALSE(form->FormulaEd.FormulaInUse);
  EXPECT_EQ(form->Label14->text(), QString::fromUtf8("No está usada"));
  EXPECT_EQ(form->Label14->palette().color(QPalette::WindowText), QColor(0, 255, 0));
  form->English = true;
  SelectFormula(form->SGFormulas->RowCount() - 1);
  EXPECT_EQ(form->Label14->text(), "It is not used ");
}

TEST_F(EditorWindow, FormulaGridDrawsUseAndTheFormulaToAdd) {
  // Formula 2 used by no theme; formula 1 is the formula to add.
  for (int t = 0; t < form->Rhythm->TemaCount; ++t)
    for (int e = 0; e < form->Rhythm->Temas[t].entryCount; ++e)
      if (form->Rhythm->Temas[t].formulas[e] == 1) form->Rhythm->Temas[t].formulas[e] = 0;
  ChooseFormulaToAdd(1);
  const QImage img = Grab(form->SGFormulas);
  const QRect toAdd = CellRect(form->SGFormulas, 0, 1), unused = CellRect(form->SGFormulas, 0, 2),
              used = CellRect(form->SGFormulas, 0, 3);
  auto red = [](QColor c) { return Near(c, 255, 0, 0, 60); };
  auto lime = [](QColor c) { return Near(c, 0, 255, 0, 60); };
  const QColor ground = DeskTheme().toAdd;
  auto navy = [&](QColor c) { return Near(c, ground.red(), ground.green(), ground.blue(), 10); };
  EXPECT_GT(CountPixels(img, toAdd, navy), toAdd.width() * toAdd.height() / 2);
  EXPECT_GT(CountPixels(img, toAdd, red), 0);
  EXPECT_EQ(CountPixels(img, unused, red), 0);
  EXPECT_GT(CountPixels(img, unused, lime), 0);
  EXPECT_EQ(CountPixels(img, unused, navy), 0);
  EXPECT_GT(CountPixels(img, used, red), 0);
  EXPECT_EQ(form->Label25->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(EditorWindow, PatternGridDrawsNotationSoundsAndTheSoundingBeat) {
  Formula& f = form->Rhythm->Formulas[0];
  f.SetHeader(12, 0);
  f.accents = 0x0AA4;
  f.sounds[15] = 0;
  StoreStrokeText(f, 1, 1, "7070");
  SelectFormula(1);
  form->SGDatosFormula->Select(3, 2);
  form->SGDatosFormulaSelectCell(3, 2);
  form->MuteButtons[2]->setChecked(true);
  form->Work->Engine->PlayState = 1;
  form->Work->Engine->SoundingBeat = 3;  // beat 3, accented
  const QImage img = Grab(form->SGDatosFormula);
  form->Work->Engine->PlayState = 0;

  // The desk's colours: the chosen cell on the selection's colour, the
  // others on the cells' ground, the notes in the text's light ink.
  const DeskColours& theme = DeskTheme();
  auto like = [](const QColor& want) {
    return [want](QColor c) { return Near(c, want.red(), want.green(), want.blue(), 4); };
  };
  auto chosen = like(theme.highlight);
  auto plain = like(theme.base);
  auto ink = [](QColor c) { return c.lightness() > 170; };
  auto lime = [](QColor c) { return Near(c, 0, 255, 0, 60); };
  auto grey = [](QColor c) { return Near(c, 128, 128, 128, 30); };
  auto red = [](QColor c) { return Near(c, 255, 0, 0, 30); };
  const QRect sel = CellRect(form->SGDatosFormula, 3, 2), other = CellRect(form->SGDatosFormula, 4, 2);
  EXPECT_GT(CountPixels(img, sel, chosen), sel.width() * sel.height() / 2);
  EXPECT_GT(CountPixels(img, sel, ink), 0);  // the strokes as notes
  EXPECT_GT(CountPixels(img, sel, red), 0);  // the selection frame
  EXPECT_GT(CountPixels(img, other, plain), other.width() * other.height() / 2);
  EXPECT_GT(CountPixels(img, other, ink), 0);  // a rest

  const QRect sound1 = CellRect(form->SGDatosFormula, 1, 1), muted = CellRect(form->SGDatosFormula, 1, 3),
              silent = CellRect(form->SGDatosFormula, 1, 16);
  EXPECT_GT(CountPixels(img, sound1, lime), 0);
  EXPECT_EQ(CountPixels(img, muted, lime), 0);
  EXPECT_GT(CountPixels(img, muted, grey), 0);
  EXPECT_EQ(CountPixels(img, silent, lime), 0);

  const QRect sounding = CellRect(form->SGDatosFormula, 4, 0), quiet = CellRect(form->SGDatosFormula, 3, 0);
  EXPECT_GT(CountPixels(img, sounding, red), sounding.width() * sounding.height() / 2);
  EXPECT_LT(CountPixels(img, quiet, red), quiet.width() * quiet.height() / 4);

  // Digits instead of notation.
  form->LasNotas->setChecked(false);
  const QImage digits = Grab(form->SGDatosFormula);
  EXPECT_NE(digits.copy(other), img.copy(other));
  EXPECT_EQ(CountPixels(digits, sel, red), 0);  // no notation's selection frame
}

TEST_F(EditorWindow, NotationStaysInsideItsCell) {
  for (int n = 1; n <= 8; ++n) {
    for (const char* pattern : {"7", "0", "70", "07"}) {
      std::string digits;
      while (static_cast<int>(digits.size()) < n) digits += pattern;
      digits.resize(static_cast<size_t>(n));
      QImage img(100, 40, QImage::Format_RGB32);
      img.fill(Qt::white);
      {
        QPainter p(&img);
        p.setPen(Qt::black);
        DrawNotation(p, QPointF(10, 10), 60, 20, QString::fromStdString(NotationGlyphs(digits)));
      }
      auto ink = [](QColor c) { return c.lightness() < 200; };
      const int inside = CountPixels(img, QRect(9, 9, 62, 22), ink);
      EXPECT_GT(inside, 0) << digits;
      EXPECT_EQ(CountPixels(img, img.rect(), ink), inside) << digits;
    }
  }
  // A rest and a note are told apart.
  auto render = [](const char* glyphs) {
    QImage img(40, 24, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::black);
    DrawNotation(p, QPointF(0, 0), 40, 20, glyphs);
    p.end();
    return img;
  };
  EXPECT_NE(render("    s"), render("    c"));
  EXPECT_NE(render("   cgh"), render("   cgw"));
}

// A cell's notation drawn from the remembered picture looks as drawn
// directly: on a plain and on a chosen cell, the second time (remembered) too.
TEST_F(EditorWindow, RememberedNotationLooksAsDrawnDirectly) {
  for (const char* digits : {"7", "70", "0707", "77707070", "700"}) {
    for (const QColor back : {QColor(240, 240, 240), QColor(166, 206, 166)}) {
      const QString glyphs = QString::fromStdString(NotationGlyphs(digits));
      auto render = [&](bool remembered) {
        QImage img(80, 30, QImage::Format_RGB32);
        img.fill(back);
        QPainter p(&img);
        p.setPen(Qt::black);
        if (remembered)
          DrawNotationRemembered(p, QPointF(7, 4), 58, 18, glyphs);
        else
          DrawNotation(p, QPointF(7, 4), 58, 18, glyphs);
        return img;
      };
      const QImage direct = render(false);
      for (int pass = 0; pass < 2; ++pass) {
        const QImage copied = render(true);
        int worst = 0;
        for (int y = 0; y < direct.height(); ++y)
          for (int x = 0; x < direct.width(); ++x) {
            const QColor a = direct.pixelColor(x, y), b = copied.pixelColor(x, y);
            worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                              std::abs(a.blue() - b.blue())});
          }
        EXPECT_LE(worst, 2) << digits << " pass " << pass;  // rounding of the blend only
      }
    }
  }
}

TEST_F(EditorWindow, SoundChooserEditsTheSelectedTrack) {
  SelectFormula(1);
  Formula& f = form->Rhythm->Formulas[0];
  form->SGDatosFormula->Select(1, 3);
  form->SGDatosFormulaSelectCell(1, 3);
  EXPECT_FALSE(form->CBSonidos->isHidden());
  EXPECT_EQ(form->FormulaEd.SelectedTrack, 2);
  EXPECT_EQ(form->CBSonidos->currentIndex(), f.sounds[2]);
  EXPECT_EQ(form->CBSonidos->itemText(0), "Silencio");
  form->ClearModified();
  form->CBSonidosChange(2);
  EXPECT_EQ(f.sounds[2], 2);
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 3), form->CBSonidos->itemText(2));
  EXPECT_TRUE(form->Modified());
  form->CBSonidosChange(0);
  EXPECT_EQ(f.sounds[2], 0);
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 3), "Silencio");
  // No item chosen, or one past the list: nothing stored.
  form->CBSonidosChange(-1);
  form->CBSonidosChange(form->CBSonidos->count());
  EXPECT_EQ(f.sounds[2], 0);

  form->SGDatosFormula->Select(4, 3);
  form->SGDatosFormulaSelectCell(4, 3);
  EXPECT_TRUE(form->CBSonidos->isHidden());
}

// --- theme editor ------------------------------------------------------------------

TEST_F(EditorWindow, SequenceGridOfTheWorkedExample) {
  SetTheme(0, 120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
  SelectTheme(1);
  EXPECT_EQ(form->SGSaco->RowCount(), 5);
  EXPECT_EQ(SacoColumn(0), (QStringList{"1", "3", "4", "5"}));
  EXPECT_EQ(SacoColumn(2), (QStringList{"120", "130", "100", "100"}));
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "2", "3", ""}));
  EXPECT_EQ(SacoColumn(4), (QStringList{"2", "1", "1", ""}));
  EXPECT_EQ(SacoColumn(5), (QStringList{"5", "0", "0", ""}));
  EXPECT_EQ(form->SGSaco->Cells(1, 2), form->SGFormulas->Cells(2, 2));
  EXPECT_EQ(form->Engine->CompasCount, 5);
  EXPECT_EQ(form->Label2->text(), "Tema 1: " + form->SGTemas->Cells(1, 1));

  // One entry of 4 with acceleration 3: bars 1 and 5, 132 at the end.
  SetTheme(1, 120, {{0, 4, 3, 0}});
  SelectTheme(2);
  EXPECT_EQ(SacoColumn(0), (QStringList{"1", "5"}));
  EXPECT_EQ(SacoColumn(2), (QStringList{"120", "132"}));
}

TEST_F(EditorWindow, ThemeSelectionLoadsEngineAndMixerControlsWithoutStoring) {
  Tema& th = SetTheme(0, 150, {{3, 2, -4, 0}, {1, 1, 0, 0}});
  th.partsOrder = 127;  // random order, parts 127
  th.introEnding = 0xD3;
  th.gain = 0.25f;
  th.volume[0] = 16;
  th.volume[1] = 7;
  th.volume[2] = 1;
  th.pan[3] = 0;
  th.pan[5] = 40;  // beyond the slider
  form->ClearModified();
  SelectTheme(1);
  EXPECT_EQ(form->Engine->ThemeParts, 0);
  EXPECT_EQ(th.partsOrder, 0);
  EXPECT_FALSE(form->Engine->ThemeInOrder);
  EXPECT_TRUE(form->RadioButton2->isChecked());
  EXPECT_EQ(form->Partes->text(), "");
  EXPECT_EQ(form->Intro->text(), "0");
  EXPECT_EQ(form->Fin->text(), "3");
  EXPECT_EQ(th.introEnding, 0x03);
  EXPECT_EQ(form->Engine->ThemeEndBeats, 3);
  EXPECT_FLOAT_EQ(th.gain, 1.0f);
  EXPECT_FLOAT_EQ(form->Engine->MasterGain, 1.0f);
  EXPECT_EQ(form->TB1->value(), 420 - 150);
  EXPECT_EQ(th.times[2], 0);

  const MixerControls& c = form->Engine->Controls;
  EXPECT_EQ(form->TBVol[0]->value(), 16);
  EXPECT_EQ(c.TrackGainNum[0], 9);
  EXPECT_EQ(c.TrackGainDen[0], 1);
  EXPECT_EQ(c.TrackGainNum[1], 1);
  EXPECT_EQ(c.TrackGainDen[1], 2);
  EXPECT_EQ(c.TrackGainDen[2], 8);
  EXPECT_EQ(c.TrackGainNum[4], 1);
  EXPECT_EQ(c.TrackGainDen[4], 1);
  EXPECT_EQ(form->TBPan[3]->value(), 0);
  EXPECT_EQ(c.Pan[3], 0);
  EXPECT_EQ(c.Pan[5], 32);
  EXPECT_EQ(th.pan[5], 40);  // the sliders moved by code stored nothing
  EXPECT_EQ(th.tempos[0], 150);
  EXPECT_FALSE(form->Modified());

  // The first entry plays: its formula, repetitions and acceleration.
  EXPECT_EQ(form->Rhythm->CurrentFormula, 3);
  EXPECT_EQ(form->SGFormulas->Row(), 4);
  EXPECT_EQ(form->Engine->RepeatsLeft, 1);
  EXPECT_EQ(form->Engine->EntryAccel, -4);
  EXPECT_FLOAT_EQ(form->Engine->CurrentBpm, 150.0f);
  EXPECT_EQ(form->Engine->CurrentCompas, 1);
  EXPECT_EQ(form->Label3->text(), QString::fromUtf8("Compás   1/  3"));

  // A theme whose tempo the slider already shows leaves no guard up: the
  // user's next move of the slider is stored.
  SetTheme(1, 420 - form->TB1->value(), {{0, 1, 0, 0}});
  SelectTheme(2);
  EXPECT_FALSE(form->Guards.TempoSliderByCode);
  EXPECT_FALSE(form->Guards.TrackbarsLoading);
  EXPECT_FALSE(form->Guards.ThemeFieldsByCode);
  form->TB1->setValue(250);
  EXPECT_EQ(form->Rhythm->Temas[1].tempos[0], 170);
}

TEST_F(EditorWindow, ThemeFromAFileCannotIndexPastTheTables) {
  Tema& th = SetTheme(0, 120, {{0, 1, 0, 0}});
  for (int e = 0; e < kEntrySlots; ++e) {
    th.times[e] = 1;
    th.formulas[e] = static_cast<uint16_t>(e == 1 ? 700 : (e == 2 ? form->Rhythm->FormulaCount : 0));
  }
  th.entryCount = 300;
  th.tempos[0] = 0;  // no theme tempo: the slider stays where it is
  const int slider = form->TB1->value();
  form->ClearModified();
  SelectTheme(1);
  EXPECT_EQ(form->TB1->value(), slider);
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(th.entryCount, kMaxEntries);
  EXPECT_EQ(form->SGSaco->RowCount(), kMaxEntries + 2);
  EXPECT_EQ(form->SGSaco->Cells(1, 2), "");
  EXPECT_EQ(form->SGSaco->Cells(3, 2), "701");
  EXPECT_EQ(form->SGSaco->Cells(1, 3), "");
  EXPECT_EQ(form->SGSaco->Cells(3, kMaxEntries + 1), "");  // the end row
  // Selecting such an entry finds no formula row and changes no formula.
  SelectFormula(2);
  SelectEntry(2);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 1);
}

TEST_F(EditorWindow, EntrySelectionSetsTheEngineFromTheRow) {
  SetTheme(0, 120, {{0, 2, 5, 0}, {1, 3, -2, 0}, {2, 1, 0, 100}});
  SelectTheme(1);
  form->Work->Engine->CurrentBpm = 77.0f;
  SelectEntry(2);  // its tempo cell shows 130
  EXPECT_FLOAT_EQ(form->Engine->CurrentBpm, 130.0f);
  EXPECT_EQ(form->Engine->EntryAccel, -2);
  EXPECT_EQ(form->Engine->RepeatsLeft, 2);
  EXPECT_EQ(form->Engine->CurrentCompas, 3);
  EXPECT_EQ(form->Engine->CurrentBeat, 0);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 1);
  EXPECT_TRUE(form->Guards.SkipFormulaClick);
  EXPECT_EQ(form->Label3->text(), QString::fromUtf8("Compás   3/  6"));

  // A blank tempo cell keeps the tempo playing.
  SetTheme(0, 120, {{0, 1, 0, 0}, {1, 1, 0, 0}});
  SelectTheme(1);
  form->Work->Engine->CurrentBpm = 77.0f;
  SelectEntry(2);
  EXPECT_EQ(form->SGSaco->Cells(2, 2), "");
  EXPECT_FLOAT_EQ(form->Engine->CurrentBpm, 77.0f);

  // While playing the bar counter is left to the sequencer.
  form->botonplayClick();
  ASSERT_TRUE(form->Deck->IsPlaying());
  form->Work->Engine->CurrentCompas = 9;
  SelectEntry(1);
  form->Stop1Click();
  EXPECT_EQ(form->Engine->CurrentCompas, 9);
}

TEST_F(EditorWindow, EntryEditsAreTakenOnlyWithinTheirRanges) {
  SetTheme(0, 120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
  SelectTheme(1);
  const int formulas = form->SGFormulas->RowCount() - 1;
  const struct {
    int col, row;
    QString typed;
    bool taken;
  } cases[] = {
      {2, 1, "0", false},   {2, 1, "19", false},  {2, 2, "401", false}, {3, 2, "0", false},
      {3, 2, QString::number(formulas + 1), false}, {4, 2, "0", false}, {4, 2, "256", false},
      {5, 2, "128", false}, {5, 2, "-129", false}, {4, 2, "x", false},
      {5, 2, "-7", true},   {4, 2, "255", true},  {3, 2, QString::number(formulas), true}, {2, 3, "0", true},
  };
  for (const auto& c : cases) {
    SetTheme(0, 120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
    SelectTheme(1);
    const Tema before = form->Rhythm->Temas[0];
    form->ClearModified();
    TypeEntry(c.col, c.row, c.typed);
    const Tema& after = form->Rhythm->Temas[0];
    const bool changed = std::memcmp(&before, &after, sizeof before) != 0;
    EXPECT_EQ(changed, c.taken) << c.col << "," << c.row << " " << c.typed.toStdString();
    EXPECT_TRUE(form->Modified());
    if (!c.taken) {
      EXPECT_EQ(form->SGSaco->Cells(c.col, c.row), c.typed);  // stays as typed
    }
  }

  // A new theme tempo on the first row moves the theme slider.
  SetTheme(0, 120, {{0, 2, 5, 0}, {1, 1, 0, 0}});
  SelectTheme(1);
  TypeEntry(2, 1, "150");
  EXPECT_EQ(form->Rhythm->Temas[0].tempos[0], 150);
  EXPECT_EQ(form->TB1->value(), 270);
  EXPECT_EQ(SacoColumn(2), (QStringList{"150", "160", "160"}));
}

TEST_F(EditorWindow, EditingAnEntryKeepsTheCarriedTempoOutOfTheRecord) {
  SetTheme(0, 120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
  SelectTheme(1);
  ASSERT_EQ(form->SGSaco->Cells(2, 2), "130");  // carried over by the acceleration
  TypeEntry(4, 2, "3");
  const Tema& th = form->Rhythm->Temas[0];
  EXPECT_EQ(th.times[1], 3);
  EXPECT_EQ(th.tempos[1], 0);
  // The acceleration above still carries: raising it raises the row below.
  TypeEntry(5, 1, "10");
  EXPECT_EQ(form->SGSaco->Cells(2, 2), "140");
  EXPECT_EQ(SacoColumn(0), (QStringList{"1", "3", "6", "7"}));
  EXPECT_EQ(form->Engine->CompasCount, 7);
  EXPECT_EQ(form->Engine->CurrentCompas, 1);  // the selected row's bar
}

TEST_F(EditorWindow, EndRowEditsAreUndone) {
  SetTheme(0, 120, {{0, 4, 3, 0}});
  SelectTheme(1);
  const Tema before = form->Rhythm->Temas[0];
  TypeEntry(4, 2, "3");
  EXPECT_EQ(form->SGSaco->Cells(4, 2), "");
  TypeEntry(2, 2, "99");
  EXPECT_EQ(form->SGSaco->Cells(2, 2), "132");
  EXPECT_EQ(std::memcmp(&before, &form->Rhythm->Temas[0], sizeof before), 0);
}

TEST_F(EditorWindow, EntryEditGoesToTheThemeTheSequenceGridShows) {
  SetTheme(0, 120, {{0, 1, 0, 0}});
  SetTheme(2, 120, {{0, 1, 0, 0}});
  SelectTheme(1);
  form->FillSequenceGrid(2);  // as the MIDI import does for its theme
  TypeEntry(4, 1, "6");
  EXPECT_EQ(form->Rhythm->Temas[2].times[0], 6);
  EXPECT_EQ(form->Rhythm->Temas[0].times[0], 1);
}

TEST_F(EditorWindow, InsertAndRemoveMoveFormulasTimesAndAccelNotTempos) {
  SetTheme(0, 120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
  SelectTheme(1);
  ChooseFormulaToAdd(4);  // formula 3
  SelectEntry(2);
  form->ClearModified();
  form->BotonPoneAntesClick();
  const Tema& th = form->Rhythm->Temas[0];
  EXPECT_EQ(th.entryCount, 4);
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "4", "2", "3", ""}));
  EXPECT_EQ(SacoColumn(4), (QStringList{"2", "1", "1", "1", ""}));
  EXPECT_EQ(SacoColumn(5), (QStringList{"5", "0", "0", "0", ""}));
  EXPECT_EQ(th.tempos[2], 100);  // the tempo stays with its row
  EXPECT_EQ(th.tempos[3], 0);
  EXPECT_EQ(form->SGSaco->Row(), 2);
  EXPECT_EQ(form->Engine->CurrentCompas, 3);
  EXPECT_TRUE(form->Modified());

  // Removing the only repetition deletes the row; the entries below move up.
  form->BotonQuitaClick();
  EXPECT_EQ(th.entryCount, 3);
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "2", "3", ""}));
  EXPECT_EQ(form->SGSaco->RowCount(), 5);

  // The formula of the selected entry: one more repetition instead of a row.
  ChooseFormulaToAdd(1);
  SelectEntry(1);
  form->BotonPoneAntesClick();
  EXPECT_EQ(th.entryCount, 3);
  EXPECT_EQ(th.times[0], 3);
  form->BotonQuitaClick();
  EXPECT_EQ(th.times[0], 2);
  EXPECT_EQ(form->SGSaco->Cells(4, 1), "2");

  // Nothing on the end row.
  SelectEntry(4);
  form->BotonQuitaClick();
  EXPECT_EQ(th.entryCount, 3);

  // After: right below the selected entry; on the end row it appends; on an
  // entry of the same formula it adds a repetition.
  ChooseFormulaToAdd(6);  // formula 5
  SelectEntry(1);
  form->BotonPoneDespuesClick();
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "6", "2", "3", ""}));
  EXPECT_EQ(form->SGSaco->Row(), 2);
  form->BotonPoneDespuesClick();
  EXPECT_EQ(SacoColumn(4), (QStringList{"2", "2", "1", "1", ""}));
  SelectEntry(5);
  form->BotonPoneDespuesClick();
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "6", "2", "3", "6", ""}));
  EXPECT_EQ(th.times[th.entryCount], 0);
}

TEST_F(EditorWindow, FullThemesRefuseNewEntriesWithAMessage) {
  std::vector<Entry> es(kMaxEntries, Entry{0, 1, 0, 0});
  SetTheme(0, 120, es);
  SelectTheme(1);
  ChooseFormulaToAdd(2);
  SelectEntry(5);
  form->BotonPoneAntesClick();
  form->BotonPoneDespuesClick();
  EXPECT_EQ(form->Rhythm->Temas[0].entryCount, kMaxEntries);
  EXPECT_EQ(form->SGSaco->RowCount(), kMaxEntries + 2);
  EXPECT_EQ(form->SGSaco->Row(), 5);  // the selection did not move
  EXPECT_EQ(dlg->messages, (QStringList{QString::fromUtf8("Un tema no admite más de 120 fórmulas"),
                                        QString::fromUtf8("Un tema no admite más de 120 fórmulas")}));
  form->English = true;
  SelectEntry(kMaxEntries + 1);  // the end row
  form->BotonPoneAntesClick();
  EXPECT_EQ(dlg->messages.last(), "A song holds at most 120 formulas");

  // One more repetition still fits.
  ChooseFormulaToAdd(1);
  SelectEntry(5);
  form->BotonPoneAntesClick();
  EXPECT_EQ(form->Rhythm->Temas[0].times[4], 2);
  EXPECT_EQ(dlg->messages.size(), 3);

  // Removing from a full list leaves a clean end row, whatever slot 120 held.
  form->Rhythm->Temas[0].times[kMaxEntries] = 9;
  SelectEntry(7);
  form->BotonQuitaClick();
  EXPECT_EQ(form->Rhythm->Temas[0].entryCount, kMaxEntries - 1);
  EXPECT_EQ(form->SGSaco->Cells(3, kMaxEntries), "");
}

TEST_F(EditorWindow, PartsIntroEndingAndOrder) {
  SetTheme(0, 120, {{0, 1, 0, 0}});
  SelectTheme(1);
  form->ClearModified();
  form->Partes->setText("200");
  Tema& th = form->Rhythm->Temas[0];
  EXPECT_EQ(th.partsOrder, 0x80 | 127);
  EXPECT_EQ(form->Engine->ThemeParts, 127);
  EXPECT_TRUE(form->Modified());
  SelectTheme(1);
  EXPECT_EQ(form->Partes->text(), "");  // read back as no parts
  EXPECT_EQ(form->Engine->ThemeParts, 0);
  EXPECT_EQ(th.partsOrder, 0x80);

  form->Partes->setText("3");
  EXPECT_EQ(th.partsOrder, 0x83);
  form->Partes->setText("-2");  // below the field: ignored
  EXPECT_EQ(th.partsOrder, 0x83);
  form->Intro->setText("15");
  EXPECT_EQ(th.introEnding, 0xC0);
  EXPECT_EQ(form->Engine->ThemeIntroBeats, 12);
  form->Fin->setText("4");
  EXPECT_EQ(th.introEnding, 0xC4);
  EXPECT_EQ(form->Engine->ThemeEndBeats, 4);
  form->Fin->setText("-1");
  EXPECT_EQ(th.introEnding, 0xC4);

  form->RadioButton2->setChecked(true);
  form->RadioButton1Click();
  EXPECT_EQ(th.partsOrder, 0x03);
  EXPECT_FALSE(form->Engine->ThemeInOrder);
  form->RadioButton1->setChecked(true);
  form->RadioButton1Click();
  EXPECT_EQ(th.partsOrder, 0x83);
  // A click on the button already on changes nothing and marks nothing.
  form->ClearModified();
  form->RadioButton1Click();
  EXPECT_EQ(th.partsOrder, 0x83);
  EXPECT_FALSE(form->Modified());

  // Set by the selection, the fields store nothing and mark nothing.
  th.introEnding = 0x21;
  form->ClearModified();
  SelectTheme(1);
  EXPECT_EQ(form->Intro->text(), "2");
  EXPECT_EQ(form->Partes->text(), "3");
  EXPECT_EQ(th.introEnding, 0x21);
  EXPECT_FALSE(form->Modified());
}

TEST_F(EditorWindow, ThemeNameIsCutToItsField) {
  SelectTheme(2);
  form->ClearModified();
  const QString typed = "A song name that is longer than thirty-two characters";
  form->SGTemasSetEditText(1, 2, typed);
  EXPECT_EQ(form->Rhythm->Temas[1].Name(), typed.left(32).toStdString());
  EXPECT_EQ(form->Label2->text(), "Tema : " + typed);
  EXPECT_TRUE(form->Modified());
  form->SGTemasSetEditText(1, 2, "");
  EXPECT_EQ(form->Rhythm->Temas[1].Name(), "");
  EXPECT_EQ(form->Label2->text(), "Tema : " + typed);
}

TEST_F(EditorWindow, ThemeGridMarksThemesWithAGuitarTrack) {
  const std::string name = form->Rhythm->Temas[0].Name();
  ScratchFolder::Write("datos/Original/" + name + ".gtr", {1});
  const QImage img = Grab(form->SGTemas);
  auto mark = [](QColor c) { return Near(c, 160, 82, 45, 30); };
  EXPECT_GT(CountPixels(img, CellRect(form->SGTemas, 0, 1), mark), 0);
  EXPECT_EQ(CountPixels(img, CellRect(form->SGTemas, 0, 2), mark), 0);
}

// --- editing, keys and typed numbers ------------------------------------------------

TEST_F(EditorWindow, TheCellTheUserSelectsIsEditableAtOnce) {
  // Right after start-up: the first cell picked in each grid takes typing at
  // once, also where the selection itself is what switches editing on.
  const struct {
    const char* what;
    StringGrid* TMainForm::*grid;
    int col, row;
  } cases[] = {
      {"sequence grid", &TMainForm::SGSaco, 3, 1},
      {"formula grid", &TMainForm::SGFormulas, 2, 2},
      {"pattern grid", &TMainForm::SGDatosFormula, 3, 2},
      {"theme grid", &TMainForm::SGTemas, 1, 2},
  };
  for (const auto& c : cases) {
    StringGrid* g = form.get()->*c.grid;
    g->setCurrentCell(c.row, c.col);  // as the user's click does
    EXPECT_TRUE(g->Editable) << c.what;
    EXPECT_TRUE(g->editTriggers() & QAbstractItemView::DoubleClicked) << c.what;
    EXPECT_TRUE(g->editTriggers() & QAbstractItemView::AnyKeyPressed) << c.what;
  }
}

TEST_F(EditorWindow, AnAccentBoxToggledByKeyIsStored) {
  Formula& f = form->Rhythm->Formulas[0];
  f.SetHeader(12, 0);
  f.accents = 0x0004;
  form->show();
  SelectFormula(1);
  ASSERT_TRUE(form->Guards.AccentChangeByCode);
  form->ClearModified();
  QCheckBox* box = form->AccentBoxes[0];
  for (const bool expected : {true, false}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    EXPECT_EQ(box->isChecked(), expected);
    EXPECT_EQ(f.Accented(0), expected);  // the box and the record agree
    EXPECT_TRUE(f.Accented(2));
  }
  EXPECT_TRUE(form->Modified());
}

TEST_F(EditorWindow, AFormulaNumberTypedWithLeadingZeroStillPlaysThatFormula) {
  SetTheme(0, 120, {{0, 2, 0, 0}, {1, 1, 0, 0}, {3, 1, 0, 0}});
  SelectTheme(1);
  TypeEntry(3, 2, "03");
  EXPECT_EQ(form->Rhythm->Temas[0].formulas[1], 2);
  EXPECT_EQ(form->SGSaco->Cells(3, 2), "03");  // kept as typed
  SelectEntry(1);
  SelectEntry(2);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 2);
  EXPECT_EQ(form->SGFormulas->Row(), 3);

  // Insert-after on that entry with formula 3 to add: one more repetition.
  ChooseFormulaToAdd(3);
  SelectEntry(2);
  form->BotonPoneDespuesClick();
  EXPECT_EQ(form->Rhythm->Temas[0].entryCount, 3);
  EXPECT_EQ(form->Rhythm->Temas[0].times[1], 2);
  EXPECT_EQ(form->SGSaco->Row(), 2);
}

TEST_F(EditorWindow, InsertAfterMovesTheRowWithoutReselectingTheFormula) {
  SetTheme(0, 120, {{0, 2, 0, 0}, {1, 3, 0, 0}});
  SelectTheme(1);
  ChooseFormulaToAdd(5);  // formula 4
  SelectEntry(1);
  ASSERT_EQ(form->Rhythm->CurrentFormula, 0);
  form->BotonPoneDespuesClick();
  EXPECT_FALSE(form->Guards.SkipEntrySelect);
  EXPECT_EQ(form->SGSaco->Row(), 2);
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "5", "2", ""}));
  EXPECT_EQ(form->Engine->CurrentCompas, 3);  // the bar of the new entry
  EXPECT_EQ(form->Rhythm->CurrentFormula, 0);  // only the engine part of the selection ran
}

TEST_F(EditorWindow, RemovedEntriesLeaveTheTemposInTheirSlots) {
  SetTheme(0, 120, {{0, 2, 0, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}, {3, 1, 0, 0}});
  SelectTheme(1);
  EXPECT_EQ(SacoColumn(2), (QStringList{"120", "", "100", "", "100"}));
  SelectEntry(2);
  form->BotonQuitaClick();
  const Tema& th = form->Rhythm->Temas[0];
  EXPECT_EQ(th.entryCount, 3);
  EXPECT_EQ(SacoColumn(3), (QStringList{"1", "3", "4", ""}));
  // Slot 2 keeps its tempo 100: it now starts the entry of formula 4.
  EXPECT_EQ(th.tempos[1], 0);
  EXPECT_EQ(th.tempos[2], 100);
  EXPECT_EQ(SacoColumn(2), (QStringList{"120", "", "100", "100"}));
  EXPECT_EQ(form->SGSaco->Row(), 2);
  EXPECT_EQ(form->Engine->CurrentCompas, 3);
}

TEST_F(EditorWindow, FirstBeatTwelveInEnglish) {
  form->English = true;
  Formula& f = form->Rhythm->Formulas[1];
  f.SetHeader(12, 11);
  f.accents = 0;
  SelectFormula(2);
  QStringList labels;
  for (int c = 2; c < form->SGDatosFormula->ColCount(); ++c) labels << form->SGDatosFormula->Cells(c, 0);
  EXPECT_EQ(labels, (QStringList{"B 12", "B 1", "B 2", "B 3", "B 4", "B 5", "B 6", "B 7", "B 8", "B 9", "B 10", "B 11"}));
}
