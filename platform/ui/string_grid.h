// A string grid in the classic style: row 0 and column 0 are fixed cells inside
// the grid (headers and numbers), so row r of a table view shows record r - 1.
// Cells are addressed (column, row).
#pragma once

#include <QHeaderView>
#include <QTableWidget>
#include <functional>

class StringGrid : public QTableWidget {
  Q_OBJECT
 public:
  StringGrid(const QString& name, int cols, int rows, QWidget* parent, int fixedCols = 1, int fixedRows = 1);

  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);
  int RowCount() const { return rowCount(); }
  int ColCount() const { return columnCount(); }
  void SetRowCount(int n);
  void SetColCount(int n);
  int Row() const { return row_; }
  int Col() const { return col_; }
  // Moves the selection by code; no selection handler runs.
  void Select(int col, int row);
  void SetRow(int row) { Select(col_ < fixedCols_ ? fixedCols_ : col_, row); }
  // Column widths: at least these, wider where a cell's text needs it.
  void SetColWidths(const std::vector<int>& widths);
  void SetColWidth(int col, int width);
  // Sets every column to its least width or its widest text, whichever is more.
  void FitColumns();
  void EmptyColumns(int firstCol, int lastCol);  // data rows only
  // A column whose cells are drawn in bold: its widths are measured so.
  void SetBoldColumn(int col) { boldCols_.push_back(col); }
  bool Editable = false;
  // Keeps a cell wider than the grid in sight from its start, and the fixed
  // columns with it where they fit.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  // The width that shows every column whole: the columns, the frame and,
  // when `rowsScroll`, the vertical scroll bar beside them.
  int WidthForColumns(bool rowsScroll) const;
  // Whether the rows take more height than the grid shows.
  bool RowsScroll() const;

  // Called when the user selects a cell (not for selections made by code).
  std::function<void(int col, int row)> onSelectCell;
  // Called after the user has typed into a cell.
  std::function<void(int col, int row, const QString& text)> onSetEditText;

 protected:
  // The arrow, page and home keys move within the data cells: a cursor
  // standing in a fixed column (where code may have put it) goes on in the
  // first data column, and never into the fixed rows or columns.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  void StyleFixed(int col, int row);
  int TextWidth(const QTableWidgetItem* it) const;
  void GrowColumnFor(int col, const QTableWidgetItem* it);
  std::vector<int> leastWidths_;
  std::vector<int> boldCols_;
  int fixedCols_, fixedRows_;
  int row_ = 1, col_ = 1;
  bool byCode_ = false;
};
