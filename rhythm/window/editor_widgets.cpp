#include "rhythm/window/editor_widgets.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <memory>

#include "platform/ui/string_grid.h"
#include "platform/ui/widgets.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"

CellPainter::CellPainter(QObject* parent, Draw draw) : QStyledItemDelegate(parent), draw_(std::move(draw)) {}

void CellPainter::paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const {
  QStyledItemDelegate::paint(p, opt, idx);
  p->save();
  draw_(p, idx.column(), idx.row(), opt.rect);
  p->restore();
}

QWidget* CellPainter::createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& idx) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, opt, idx);
  if (editor && onEditor) onEditor(editor, idx.column(), idx.row());
  return editor;
}

void HookFormulaGrid(QObject* owner, StringGrid* grid, CellPainter* painter, FormulaGridHooks hooks) {
  QWidget* port = grid->viewport();
  port->setMouseTracking(true);
  auto rowAtKeyPress = std::make_shared<int>(-1);
  auto h = std::make_shared<FormulaGridHooks>(std::move(hooks));
  auto* hook = new EventHook(owner, [grid, port, rowAtKeyPress, h](QObject* o, QEvent* e) {
    switch (e->type()) {
      case QEvent::MouseMove:
        if (o == port) h->mouseMove();
        break;
      case QEvent::KeyPress:
        if (o == grid) {
          *rowAtKeyPress = grid->Row();
          h->keyDown();
        }
        break;
      case QEvent::KeyRelease:
        // A key that moved the selection picks the new row as the formula to add.
        if (o == grid && *rowAtKeyPress >= 0 && grid->Row() != *rowAtKeyPress) h->click();
        if (o == grid) *rowAtKeyPress = -1;
        break;
      case QEvent::FocusOut: {
        // The grid, or the editor of one of its cells, loses the focus to the
        // user's click or key: once the typed text is stored, and when the
        // focus went outside the grid, the grid is left.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::MouseFocusReason && why != Qt::TabFocusReason && why != Qt::BacktabFocusReason &&
            why != Qt::ShortcutFocusReason)
          break;
        QTimer::singleShot(0, grid, [grid, h] {
          QWidget* now = QApplication::focusWidget();
          if (now && (now == grid || grid->isAncestorOf(now))) return;
          h->exit();
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
  painter->onEditor = [hook, h](QWidget* editor, int col, int) {
    if (h->shapeEditor) h->shapeEditor(editor, col);
    editor->installEventFilter(hook);
  };
}

void SetGridEditing(StringGrid* g, bool on) {
  g->Editable = on;
  g->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
}

QString SoundCellText(const std::vector<std::string>& list, int s, bool english) {
  if (s >= 1 && s <= static_cast<int>(list.size())) return L1(list[static_cast<size_t>(s - 1)]);
  return english ? QString("Silence") : QString("Silencio");
}

void SetLabelColour(QLabel* l, const QColor& c) {
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, c);
  l->setPalette(pal);
  l->setStyleSheet(QString("QLabel { color: %1; background: transparent; }").arg(c.name()));
}

void DrawCellText(QPainter* p, const QRect& rect, int dx, const QString& text) {
  p->drawText(rect.adjusted(dx, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void SwapPatternRows(StringGrid* g, int r1, int r2) {
  for (int c = 1; c < g->ColCount(); ++c) {
    const QString a = g->Cells(c, r1);
    g->SetCells(c, r1, g->Cells(c, r2));
    g->SetCells(c, r2, a);
  }
  g->SetCells(0, r1, QString::number(r1));
  g->SetCells(0, r2, QString::number(r2));
}

std::vector<QString> ColumnTexts(const StringGrid* g, int col) {
  std::vector<QString> names;
  for (int r = 1; r < g->RowCount(); ++r) names.push_back(g->Cells(col, r));
  return names;
}

int CellNumber(const StringGrid* g, int col, int row) { return ReadDecimal(ToL1(g->Cells(col, row))); }
