// The basic window's editor grids as controls: their owner drawing, the
// editors of their cells (the formula grid takes names of 5 characters and
// numbers of two digits), and the formula grid's keys, mouse moves and exit.
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/window/string_grid.h"
#include "app/window/widgets.h"
#include "basic/basic_set.h"
#include "basic/window/basic_form.h"

namespace bornace {

namespace {

// The grid's own drawing of a cell, then the window's draw handler over it;
// each cell editor is handed to a hook as it is made.
class EditorCellDelegate : public QStyledItemDelegate {
 public:
  using Draw = std::function<void(QPainter*, int col, int row, const QRect& rect)>;
  using Editor = std::function<void(QWidget* editor, int col, int row)>;
  EditorCellDelegate(QObject* parent, Draw draw) : QStyledItemDelegate(parent), draw_(std::move(draw)) {}
  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override {
    QStyledItemDelegate::paint(p, opt, idx);
    p->save();
    draw_(p, idx.column(), idx.row(), opt.rect);
    p->restore();
  }
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, opt, idx);
    if (editor && onEditor) onEditor(editor, idx.column(), idx.row());
    return editor;
  }
  Editor onEditor;

 private:
  Draw draw_;
};

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

void TMainForm::ConnectEditors() {
  auto* formulas = new EditorCellDelegate(
      SGFormulas, [this](QPainter* p, int c, int r, const QRect& rc) { SGFormulasDrawCell(p, c, r, rc); });
  SGFormulas->setItemDelegate(formulas);
  SGDatosFormula->setItemDelegate(new EditorCellDelegate(
      SGDatosFormula, [this](QPainter* p, int c, int r, const QRect& rc) { SGDatosFormulaDrawCell(p, c, r, rc); }));
  SGTemas->setItemDelegate(new EditorCellDelegate(
      SGTemas, [this](QPainter* p, int c, int r, const QRect& rc) { SGTemasDrawCell(p, c, r, rc); }));
  SGSaco->setItemDelegate(new EditorCellDelegate(
      SGSaco, [this](QPainter* p, int c, int r, const QRect& rc) { SGSacoDrawCell(p, c, r, rc); }));

  // The formula grid: a key clears the skip of the next click and picks the
  // formula to add; a mouse move clears the skip; leaving the grid shows the
  // beats and first beat of the record again.
  StringGrid* grid = SGFormulas;
  QWidget* port = grid->viewport();
  port->setMouseTracking(true);
  auto rowAtKeyPress = std::make_shared<int>(-1);
  auto* hook = new EventHook(this, [this, grid, port, rowAtKeyPress](QObject* o, QEvent* e) {
    switch (e->type()) {
      case QEvent::MouseMove:
        if (o == port) SGFormulasMouseMove();
        break;
      case QEvent::KeyPress:
        if (o == grid) {
          *rowAtKeyPress = grid->Row();
          SGFormulasKeyDown();
        }
        break;
      case QEvent::KeyRelease:
        // A key that moved the selection makes the new row the formula to add.
        if (o == grid && *rowAtKeyPress >= 0 && grid->Row() != *rowAtKeyPress) SGFormulasClick();
        if (o == grid) *rowAtKeyPress = -1;
        break;
      case QEvent::FocusOut: {
        // Only the user's own moves leave the grid; the typed text is stored
        // first, and the focus must have gone outside the grid and its editor.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::MouseFocusReason && why != Qt::TabFocusReason && why != Qt::BacktabFocusReason &&
            why != Qt::ShortcutFocusReason)
          break;
        QTimer::singleShot(0, grid, [this, grid] {
          QWidget* now = QApplication::focusWidget();
          if (now && (now == grid || grid->isAncestorOf(now))) return;
          SGFormulasExit();
        });
        break;
      }
      default:
        break;
    }
    return false;
  });
  grid->installEventFilter(hook);
  port->installEventFilter(hook);
  formulas->onEditor = [hook](QWidget* editor, int col, int) {
    ShapeFormulaCellEditor(editor, col);
    editor->installEventFilter(hook);
  };
}

void TMainForm::SGFormulasKeyDown() {
  Pages.SkipFormulaClick = false;
  SGFormulasClick();
}

void TMainForm::SGFormulasMouseMove() { Pages.SkipFormulaClick = false; }

}  // namespace bornace
