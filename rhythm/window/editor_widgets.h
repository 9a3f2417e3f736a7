// The widget work that the formula, track and theme editors of both windows
// do alike: the grids' owner drawing and cell editors, the formula grid's
// keys, mouse moves and exit, switching a grid's editing, and the small
// texts and colours of their cells.
#pragma once

#include <QColor>
#include <QString>
#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPainter;
class StringGrid;

// Owner drawing of a grid: the grid's own drawing of the cell, then the
// window's draw handler over it; each cell editor is handed to onEditor as
// it is made.
class CellPainter : public QStyledItemDelegate {
 public:
  using Draw = std::function<void(QPainter*, int col, int row, const QRect& rect)>;
  using Editor = std::function<void(QWidget* editor, int col, int row)>;
  CellPainter(QObject* parent, Draw draw);
  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override;
  Editor onEditor;

 private:
  Draw draw_;
};

// The formula grid's handlers beyond its selection and typed values.
struct FormulaGridHooks {
  std::function<void()> mouseMove;  // over the grid's cells
  std::function<void()> keyDown;    // a key goes down in the grid
  std::function<void()> click;      // a key moved the selection: the new row is the formula to add
  std::function<void()> exit;       // the user's click or key took the focus out of the grid
  // Shapes each cell editor as it is made (may be empty).
  std::function<void(QWidget* editor, int col)> shapeEditor;
};
// Binds them to `grid`, whose delegate is `painter`; the hooks live as long
// as `owner`. The hooks reach the window only for the user's own input.
void HookFormulaGrid(QObject* owner, StringGrid* grid, CellPainter* painter, FormulaGridHooks hooks);

// Switches a grid's editing on or off, for the cell already selected too:
// the grid takes its edit keys from Editable when the user selects a cell,
// and a handler of that very selection switching editing on must reach it.
void SetGridEditing(StringGrid* g, bool on);

// Sound n of the set as the pattern grid shows it: 0, and a number the sound
// list no longer reaches, play nothing and read "Silencio" ("Silence").
QString SoundCellText(const std::vector<std::string>& list, int s, bool english);

// A label's font colour; its own style sheet wins over its parent's.
void SetLabelColour(QLabel* l, const QColor& c);

// A cell's text drawn dx pixels in from its left, centred in its height.
void DrawCellText(QPainter* p, const QRect& rect, int dx, const QString& text);

// Exchanges two rows of the pattern grid; the number cells keep their rows.
void SwapPatternRows(StringGrid* g, int r1, int r2);

// The texts of a column's data rows, row 1 first.
std::vector<QString> ColumnTexts(const StringGrid* g, int col);

// A cell read as a decimal number (no number reads 0).
int CellNumber(const StringGrid* g, int col, int row);
