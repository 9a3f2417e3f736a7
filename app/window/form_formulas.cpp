// The formula and track editor: the formula grid, the pattern grid with its
// sound chooser, the accent boxes and the count mode.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

#include "app/window/mainform.h"
#include "platform/ui/desk_theme.h"
#include "platform/ui/string_grid.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_handlers.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/notation.h"

namespace {
const DeskColours& kTheme = DeskTheme();

QString U8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QColor CellBackground(const StringGrid* g, int col, int row) {
  const QTableWidgetItem* it = g->item(row, col);
  const QBrush b = it ? it->background() : QBrush();
  return b.style() == Qt::NoBrush ? kTheme.fixedCell : b.color();
}

}  // namespace

const EditorRules TMainForm::EditRules{};

int TMainForm::FormulaCount() const { return std::clamp(Rhythm->FormulaCount, 0, kMaxFormulas); }

int TMainForm::EditedFormula() const {
  const int f = FormulaEd.ShownFormula;
  return (f >= 0 && f < FormulaCount()) ? f : -1;
}

void TMainForm::ShowFormulaLength(int beats) { Label22->setText(U8(LengthLabel(beats, Engine->CurrentBpm, English))); }

void TMainForm::SGFormulasSelectCell(int col, int row) {
  (void)col;
  // The accent boxes' guard stays up until the mouse goes down on one.
  editor_steps::ShowFormulaRow(*this, FormulaEd, Guards, row);
}

void TMainForm::PaintFormulaRow(int row) { editor_steps::PaintFormulaRow(*this, FormulaEd, Guards, row); }

void TMainForm::SGFormulasSetEditText(int col, int row, const QString& value) {
  editor_steps::EditFormulaRow(*this, FormulaEd, col, row, value);
}

void TMainForm::SGFormulasExit() { editor_steps::LeaveFormulaGrid(*this); }

void TMainForm::SGFormulasClick() { editor_steps::PickFormulaToAdd(*this, FormulaEd, Guards); }

void TMainForm::SGFormulasKeyDown() {
  Guards.SkipFormulaClick = false;
  SGFormulasClick();
}

void TMainForm::SGFormulasMouseMove() { Guards.SkipFormulaClick = false; }

void TMainForm::SGFormulasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  editor_steps::DrawFormulaNumberCell(*this, FormulaEd, p, col, row, rect, kTheme.toAdd, CellBackground(SGFormulas, col, row));
}

void TMainForm::SGDatosFormulaSelectCell(int col, int row) { editor_steps::SelectTrackRow(*this, FormulaEd, col, row); }

void TMainForm::SGDatosFormulaSetEditText(int col, int row, const QString& value) {
  editor_steps::EditPatternCell(*this, col, row, value);
}

void TMainForm::SGDatosFormulaDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  QFont font = p->font();
  if (row >= 1 && col == 1) {
    const bool muted = row - 1 < kTracks && MuteButtons[static_cast<size_t>(row - 1)]->isChecked();
    const QString text = SGDatosFormula->Cells(col, row);
    p->fillRect(rect.adjusted(0, 0, 0, 1), kTheme.fixedCell);
    font.setBold(true);
    p->setFont(font);
    p->setPen(muted || text == SoundCellText(SoundList, 0, English) ? kTheme.grey : kTheme.lime);
    DrawCellText(p, rect, 2, text);
  } else if (row >= 1 && col >= 2 && LasNotas->isChecked()) {
    const bool selected = row == SGDatosFormula->Row() && col == SGDatosFormula->Col();
    const QColor back = selected ? kTheme.highlight : kTheme.base;
    p->setPen(back);
    p->setBrush(back);
    p->drawRect(rect.adjusted(0, -1, 0, 2));
    p->setPen(kTheme.text);
    const QString glyphs = L1(NotationGlyphs(ToL1(SGDatosFormula->Cells(col, row))));
    DrawNotationRemembered(*p, QPointF(rect.left() + 2, rect.top()), rect.width() - 4, rect.height(), glyphs);
    if (selected) {
      p->setPen(kTheme.red);
      p->setBrush(Qt::NoBrush);
      p->drawRect(rect.adjusted(0, 0, -1, -1));
    }
  } else if (row == 0 && col >= 2) {
    editor_steps::DrawBeatHeaderCell(*this, p, col, row, rect, CellBackground(SGDatosFormula, col, row));
  }
}

void TMainForm::CBSonidosChange(int index) {
  // Only a sound of the list (or silence) goes into the record.
  if (editor_steps::ChooseTrackSound(*this, FormulaEd, index)) Cambios();
}

void TMainForm::CheckBox1Click() { editor_steps::TakeAccentBoxes(*this, Guards); }

void TMainForm::RBTiempoClick() { editor_steps::TakeCountMode(*this, Guards, false); }

void TMainForm::RBAcentoClick() { editor_steps::TakeCountMode(*this, Guards, true); }
