#include "platform/ui/string_grid.h"

#include <QScrollBar>
#include <QStyle>

#include "platform/ui/desk_theme.h"

#include <algorithm>

StringGrid::StringGrid(const QString& name, int cols, int rows, QWidget* parent, int fixedCols, int fixedRows)
    : QTableWidget(rows, cols, parent), fixedCols_(fixedCols), fixedRows_(fixedRows) {
  setObjectName(name);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(18);
  setHorizontalScrollMode(ScrollPerPixel);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  row_ = fixedRows_;
  col_ = fixedCols_;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) StyleFixed(c, r);
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
    if (byCode_ || row < 0 || col < 0) return;
    if (row < fixedRows_ || col < fixedCols_) return;
    row_ = row;
    col_ = col;
    setEditTriggers(Editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    if (onSelectCell) onSelectCell(col, row);
  });
  connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* it) {
    if (byCode_ || !it) return;
    if (onSetEditText) onSetEditText(it->column(), it->row(), it->text());
  });
}

void StringGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int before = horizontalScrollBar()->value();
  const int startBefore = index.isValid() ? columnViewportPosition(index.column()) : -1;
  QTableWidget::scrollTo(index, hint);
  if (!index.isValid()) return;
  // A cell that already starts in sight stays where it is: the numbers to its
  // left stay in sight too, and the rest of a long text is a scroll away.
  if (startBefore >= 0 && startBefore < viewport()->width()) {
    horizontalScrollBar()->setValue(before);
    return;
  }
  // Otherwise it comes into sight from its start.
  const int start = columnViewportPosition(index.column());
  if (start < 0 || start + columnWidth(index.column()) > viewport()->width())
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + start);
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
  if (!next.isValid() || rowCount() <= fixedRows_ || columnCount() <= fixedCols_) return next;
  const int row = std::max(next.row(), fixedRows_), col = std::max(next.column(), fixedCols_);
  return model()->index(row, col, rootIndex());
}

int StringGrid::WidthForColumns(bool rowsScroll) const {
  int columns = 0;
  for (int c = 0; c < columnCount(); ++c)
    if (!isColumnHidden(c)) columns += columnWidth(c);
  const int bar = rowsScroll ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
  return columns + 2 * frameWidth() + bar;
}

bool StringGrid::RowsScroll() const { return verticalHeader()->length() + 2 * frameWidth() > height(); }

QString StringGrid::Cells(int col, int row) const {
  const QTableWidgetItem* it = item(row, col);
  return it ? it->text() : QString();
}

void StringGrid::SetCells(int col, int row, const QString& text) {
  if (row < 0 || col < 0) return;
  if (row >= rowCount()) SetRowCount(row + 1);
  if (col >= columnCount()) SetColCount(col + 1);
  const bool was = byCode_;
  byCode_ = true;
  QTableWidgetItem* it = item(row, col);
  if (!it) {
    it = new QTableWidgetItem(text);
    setItem(row, col, it);
    StyleFixed(col, row);
  } else {
    it->setText(text);
  }
  GrowColumnFor(col, it);
  byCode_ = was;
}

// The room a cell's text takes: the text, the item view's margins on both
// sides, and the grid line.
int StringGrid::TextWidth(const QTableWidgetItem* it) const {
  if (!it || it->text().isEmpty()) return 0;
  QFont font = it->font();
  if (it->row() >= fixedRows_ && std::find(boldCols_.begin(), boldCols_.end(), it->column()) != boldCols_.end())
    font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(it->text()) + 8;
}

void StringGrid::GrowColumnFor(int col, const QTableWidgetItem* it) {
  const int need = TextWidth(it);
  if (need > columnWidth(col)) setColumnWidth(col, need);
}

void StringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= columnCount()) return;
  if (static_cast<int>(leastWidths_.size()) <= col) leastWidths_.resize(static_cast<size_t>(col) + 1, 0);
  leastWidths_[static_cast<size_t>(col)] = width;
  int need = width;
  for (int r = 0; r < rowCount(); ++r) need = std::max(need, TextWidth(item(r, col)));
  if (columnWidth(col) != need) setColumnWidth(col, need);
}

void StringGrid::FitColumns() {
  for (int c = 0; c < columnCount(); ++c)
    SetColWidth(c, c < static_cast<int>(leastWidths_.size()) ? leastWidths_[static_cast<size_t>(c)] : horizontalHeader()->defaultSectionSize());
}

void StringGrid::StyleFixed(int col, int row) {
  if (row >= fixedRows_ && col >= fixedCols_) return;
  const bool was = byCode_;
  byCode_ = true;
  QTableWidgetItem* it = item(row, col);
  if (!it) {
    it = new QTableWidgetItem();
    setItem(row, col, it);
  }
  it->setFlags(Qt::ItemIsEnabled);
  it->setBackground(DeskTheme().fixedCell);
  it->setForeground(DeskTheme().text);
  byCode_ = was;
}

void StringGrid::SetRowCount(int n) {
  const bool was = byCode_;
  byCode_ = true;
  const int old = rowCount();
  setRowCount(std::max(n, 0));
  for (int r = old; r < n; ++r)
    for (int c = 0; c < columnCount(); ++c) StyleFixed(c, r);
  if (row_ >= n) row_ = std::max(fixedRows_, n - 1);
  byCode_ = was;
}

void StringGrid::SetColCount(int n) {
  const bool was = byCode_;
  byCode_ = true;
  const int old = columnCount();
  setColumnCount(std::max(n, 0));
  for (int c = old; c < n; ++c) {
    for (int r = 0; r < rowCount(); ++r) StyleFixed(c, r);
    // A column that comes back takes its least width again, not the view's default.
    if (c < static_cast<int>(leastWidths_.size()) && leastWidths_[static_cast<size_t>(c)] > 0)
      SetColWidth(c, leastWidths_[static_cast<size_t>(c)]);
  }
  if (col_ >= n) col_ = std::max(fixedCols_, n - 1);
  byCode_ = was;
}

void StringGrid::Select(int col, int row) {
  if (row < 0 || col < 0) return;
  row_ = row;
  col_ = col;
  const bool was = byCode_;
  byCode_ = true;
  if (row < rowCount() && col < columnCount()) setCurrentCell(row, col);
  byCode_ = was;
}

void StringGrid::SetColWidths(const std::vector<int>& widths) {
  for (size_t i = 0; i < widths.size() && static_cast<int>(i) < columnCount(); ++i)
    SetColWidth(static_cast<int>(i), widths[i]);
}

void StringGrid::EmptyColumns(int firstCol, int lastCol) {
  for (int r = fixedRows_; r < rowCount(); ++r)
    for (int c = firstCol; c <= lastCol && c < columnCount(); ++c) SetCells(c, r, QString());
}
