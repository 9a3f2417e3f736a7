// The basic window's editor grids as controls: their owner drawing, the
// editors of their cells (the formula grid takes names of 5 characters and
// numbers of two digits), and the formula grid's keys, mouse moves and exit.
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "platform/ui/string_grid.h"
#include "basic/basic_set.h"
#include "basic/v1_bridge.h"
#include "basic/window/basic_form.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_widgets.h"

namespace bornace {

namespace {

// The formula grid's cells: the name takes at most 5 characters of any kind,
// the beats and the first beat at most two digits.
void ShapeFormulaCellEditor(QWidget* editor, int col) {
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (!line) return;
  if (col == 2) {
    line->setMaxLength(kBasicFormulaName);
  } else {
    line->setMaxLength(2);
    line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), line));
  }
}

}  // namespace

const EditorRules TMainForm::EditRules{.tracks = kTracksV1,
                                       .formulaName = kBasicFormulaName,
                                       .temaName = kBasicTemaName,
                                       .soundCapacity = kBasicSoundCapacity,
                                       .strokeText = StrokeTextV1,
                                       .storeStrokeText = StoreStrokeTextV1,
                                       .entryTempos = false,
                                       .maxTimes = 99};

void TMainForm::ConnectEditors() {
  auto* formulas = new CellPainter(
      SGFormulas, [this](QPainter* p, int c, int r, const QRect& rc) { SGFormulasDrawCell(p, c, r, rc); });
  SGFormulas->setItemDelegate(formulas);
  SGDatosFormula->setItemDelegate(new CellPainter(
      SGDatosFormula, [this](QPainter* p, int c, int r, const QRect& rc) { SGDatosFormulaDrawCell(p, c, r, rc); }));
  SGTemas->setItemDelegate(
      new CellPainter(SGTemas, [this](QPainter* p, int c, int r, const QRect& rc) { SGTemasDrawCell(p, c, r, rc); }));
  SGSaco->setItemDelegate(
      new CellPainter(SGSaco, [this](QPainter* p, int c, int r, const QRect& rc) { SGSacoDrawCell(p, c, r, rc); }));

  // The formula grid: a key clears the skip of the next click and picks the
  // formula to add; a mouse move clears the skip; leaving the grid shows the
  // beats and first beat of the record again.
  FormulaGridHooks hooks;
  hooks.mouseMove = [this] { SGFormulasMouseMove(); };
  hooks.keyDown = [this] { SGFormulasKeyDown(); };
  hooks.click = [this] { SGFormulasClick(); };
  hooks.exit = [this] { SGFormulasExit(); };
  hooks.shapeEditor = ShapeFormulaCellEditor;
  HookFormulaGrid(this, SGFormulas, formulas, std::move(hooks));
}

void TMainForm::SGFormulasKeyDown() {
  Pages.SkipFormulaClick = false;
  SGFormulasClick();
}

void TMainForm::SGFormulasMouseMove() { Pages.SkipFormulaClick = false; }

}  // namespace bornace
