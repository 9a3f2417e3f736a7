// The basic window's formula and track editor: the formula grid, the pattern
// grid of 8 tracks with 2-bit strokes, the sound chooser, the accent boxes
// and the count mode. The records in memory are the current ones; the older
// records' limits (8 tracks, levels 1..3, names of 5 letters, 16 sounds)
// are kept here and by the conversion at open and save.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <cstdio>

#include "platform/ui/desk_theme.h"
#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "basic/v1_bridge.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_handlers.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/library_handlers.h"

namespace bornace {

namespace {
const QColor kCyan(0, 255, 255);
}  // namespace

int TMainForm::FormulaCount() const { return std::clamp(Rhythm->FormulaCount, 0, kMaxFormulas); }

int TMainForm::EditedFormula() const {
  const int f = Pages.ShownFormula;
  return (f >= 0 && f < FormulaCount()) ? f : -1;
}

void TMainForm::FillFormulaRow(int i) { library_steps::FillFormulaRowCells(*this, i); }

void TMainForm::RefillFormulaRows() { library_steps::RefillFormulaRowCells(*this); }

// The pattern grid and the progress bar follow the formula's beats: the
// grid as wide as its columns (the beats' 55 pixels each after the number
// and the sound, which are wider where their headings need it).
void TMainForm::LayoutPatternGrid(int beats) {
  ProgressBar1->setFixedWidth(55 * beats);
  int columns = 0;
  for (int c = 0; c < std::min(beats + 2, SGDatosFormula->ColCount()); ++c) columns += SGDatosFormula->columnWidth(c);
  SGDatosFormula->setFixedWidth(std::max(columns, 55 * beats + 114));
}

void TMainForm::SGFormulasSelectCell(int col, int row) {
  (void)col;
  if (editor_steps::ShowFormulaRow(*this, Pages, Pages, row)) FormulaRowPainted();
}

void TMainForm::PaintFormulaRow(int row) {
  if (editor_steps::PaintFormulaRow(*this, Pages, Pages, row)) FormulaRowPainted();
}

void TMainForm::FormulaRowPainted() {
  // No mouse-down on an accent box lowers the guard here: it comes down now.
  Pages.AccentChangeByCode = false;
  SGFormulas->viewport()->update();
  if (cb3d && cb3d->isChecked()) cb3dClick();
}

void TMainForm::ShowFormulaLength(int beats) {
  const int t = LengthTenths(beats, Engine->CurrentBpm);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d.%d'", t / 10, t % 10);
  Label22->setText(QString::fromLatin1(buf));
}

// The count buttons enable the save button directly.
void TMainForm::ShowModifiedMark() { botonrec->setEnabled(true); }

void TMainForm::SGFormulasSetEditText(int col, int row, const QString& value) {
  editor_steps::EditFormulaRow(*this, Pages, col, row, value);
}

void TMainForm::SGFormulasExit() { editor_steps::LeaveFormulaGrid(*this); }

void TMainForm::SGFormulasClick() { editor_steps::PickFormulaToAdd(*this, Pages, Pages); }

// Every formula row's number on the fixed cells' ground, the formula to add's on blue.
void TMainForm::SGFormulasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  editor_steps::DrawFormulaNumberCell(*this, Pages, p, col, row, rect, DeskTheme().toAdd, DeskTheme().fixedCell);
}

void TMainForm::SGDatosFormulaSelectCell(int col, int row) {
  if (editor_steps::SelectTrackRow(*this, Pages, col, row)) FollowTrackInChart(row);
}

// The chart's position control marks the track of the row; set by code, it
// must not run the arrow handler, which would move the track and the
// selection.
void TMainForm::FollowTrackInChart(int row) {
  if (!cb3d || !UpDown1 || row < 1 || row > kTracksV1) return;
  {
    const QSignalBlocker block(UpDown1);
    UpDown1->setValue(row - 1);
  }
  if (cb3d->isChecked()) cb3dClick();
}

void TMainForm::SGDatosFormulaSetEditText(int col, int row, const QString& value) {
  editor_steps::EditPatternCell(*this, col, row, value);
}

void TMainForm::SGDatosFormulaDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  QFont font = p->font();
  if (row >= 1 && col == 1) {
    p->fillRect(rect.adjusted(0, 0, 0, 1), DeskTheme().fixedCell);
    font.setBold(true);
    p->setFont(font);
    p->setPen(kCyan);
    DrawCellText(p, rect, 2, SGDatosFormula->Cells(col, row));
  } else if (row == 0 && col >= 2) {
    editor_steps::DrawBeatHeaderCell(*this, p, col, row, rect, DeskTheme().fixedCell);
  }
}

void TMainForm::CBSonidosChange(int index) {
  // The basic edition does not count a sound choice as a change of the set.
  if (editor_steps::ChooseTrackSound(*this, Pages, index) && cb3d && cb3d->isChecked()) cb3dClick();
}

void TMainForm::CheckBox1Click() { editor_steps::TakeAccentBoxes(*this, Pages); }

void TMainForm::RBTiempoClick() { editor_steps::TakeCountMode(*this, Pages, false); }

void TMainForm::RBAcentoClick() { editor_steps::TakeCountMode(*this, Pages, true); }

}  // namespace bornace
