// The basic window's theme editor: the theme grid with its tempo column, the
// sequence grid (bar, tempo in force, formula name, number, repetitions,
// acceleration), the entry edits and the insert and remove buttons, parts,
// intro, ending and order.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "platform/ui/desk_theme.h"
#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_handlers.h"
#include "rhythm/window/editor_widgets.h"
#include "engine/transport.h"

namespace bornace {

namespace {

// A fixed cell drawn again in the desk's colours.
void DrawFixedCell(QPainter* p, const QRect& rect, const QString& text) {
  p->fillRect(rect, DeskTheme().fixedCell);
  p->setPen(DeskTheme().text);
  p->drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}
}  // namespace

int TMainForm::TemaCount() const { return std::clamp(Rhythm->TemaCount, 0, kMaxTemas); }

int TMainForm::EditedTema() const {
  const int t = Pages.ShownTema;
  return (t >= 0 && t < TemaCount()) ? t : -1;
}

void TMainForm::FillTemaRow(int m) {
  const Tema& t = Rhythm->Temas[static_cast<size_t>(m)];
  if (t.Unused()) {
    for (int c = 0; c < 3; ++c) SGTemas->SetCells(c, m + 1, QString());
    return;
  }
  SGTemas->SetCells(0, m + 1, QString::number(m + 1));
  SGTemas->SetCells(1, m + 1, L1(t.Name().substr(0, kBasicTemaName)));
  SGTemas->SetCells(2, m + 1, QString::number(t.tempos[0]));
}

void TMainForm::SGTemasSelectCell(int col, int row) {
  (void)col;
  editor_steps::ShowThemeRow(*this, Pages, row);
}

// The header row and the number column on white; no guitar mark.
void TMainForm::SGTemasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (row != 0 && col != 0) return;
  DrawFixedCell(p, rect, SGTemas->Cells(col, row));
}

// The header row and the three fixed columns (bar, tempo, name) on white.
void TMainForm::SGSacoDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (row != 0 && col > 2) return;
  DrawFixedCell(p, rect, SGSaco->Cells(col, row));
}

// The sequence grid: bar, tempo in force (on every row), formula name,
// formula number, repetitions, acceleration.
void TMainForm::FillSequenceGrid(int t) {
  editor_steps::FillSequenceRows(*this, Pages, Pages, t, /*nameCol=*/2, /*tempoCol=*/1);
}

void TMainForm::SGSacoSelectCell(int col, int row) {
  (void)col;
  if (!editor_steps::SelectSequenceRow(*this, Pages, Pages, row)) return;
  if (row == SGSaco->RowCount() - 1) return;
  const int t = Pages.ShownTema;
  if (t >= 0 && row - 1 < EntriesOf(Rhythm->Temas[static_cast<size_t>(t)])) {
    const int f = Rhythm->Temas[static_cast<size_t>(t)].formulas[row - 1];
    if (f < FormulaCount()) {
      SGFormulas->Select(SGFormulas->Col(), f + 1);
      SGFormulasSelectCell(SGFormulas->Col(), f + 1);
    }
  }
  if (cb3d && cb3d->isChecked()) cb3dClick();
}

void TMainForm::SGSacoSetEditText(int col, int row, const QString& value) {
  (void)value;
  const int t = EditedTema();
  if (t < 0 || row < 1 || row >= SGSaco->RowCount()) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  if (row == SGSaco->RowCount() - 1) {
    FillSequenceGrid(t);
    return;
  }
  if (col < 3) return;  // bar, tempo and name are shown, not typed
  Cambios();
  const int e = row - 1;
  if (e >= EntriesOf(th)) return;
  EntryValues v;
  v.formula = CellNumber(SGSaco, 3, row);
  v.times = CellNumber(SGSaco, 4, row);
  v.accel = CellNumber(SGSaco, 5, row);
  if (!EntryValuesFit(v, e, FormulaCount(), EditRules)) return;
  StoreEntryValues(th, e, v, EditRules);
  Pages.KeepEditedCells = true;
  FillSequenceGrid(t);
  // The edited cell is selected again, as a click on it: the formula grid
  // and the pattern grid follow the entry's formula.
  SGSaco->Select(col, row);
  SGSacoSelectCell(col, row);
  Deck->SetCompas(CellNumber(SGSaco, 0, SGSaco->Row()));
  ShowCompasCounter();
}

void TMainForm::BotonPoneAntesClick() { editor_steps::InsertBeforeEntry(*this, Pages); }

void TMainForm::BotonPoneDespuesClick() {
  // The row holds another formula when its entry's record names one.
  editor_steps::InsertAfterEntry(*this, Pages, Pages, [](const Tema& th, int row, int f) {
    return row >= 1 && row - 1 < EntriesOf(th) && th.formulas[row - 1] != f;
  });
}

void TMainForm::BotonQuitaClick() { editor_steps::RemoveSelectedEntry(*this); }

void TMainForm::SGTemasSetEditText(int col, int row, const QString& value) {
  const int t = row - 1;
  if (t < 0 || t >= TemaCount()) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  Cambios();  // an edit in any column, whether its value is taken or not
  if (col == 1) {
    editor_steps::RenameTheme(*this, th, row, value);
  } else if (col == 2) {
    // A theme tempo of 20..400 is taken and moves the theme slider; other
    // values are not.
    const int bpm = ReadDecimal(ToL1(value));
    if (bpm < 20 || bpm > 400) return;
    th.tempos[0] = static_cast<uint16_t>(bpm);
    if (row == SGTemas->Row()) {
      Pages.TempoSliderByCode = true;
      TB1->setValue(SliderPosition(bpm));
      Pages.TempoSliderByCode = false;
      FillSequenceGrid(t);
    }
  }
}

void TMainForm::PartesChange() { editor_steps::TakeParts(*this, Pages); }

void TMainForm::IntroChange() { editor_steps::TakeIntro(*this, Pages); }

void TMainForm::FinChange() { editor_steps::TakeEnding(*this, Pages); }

void TMainForm::RadioButton1Click() { editor_steps::TakeOrder(*this, Pages); }

}  // namespace bornace
