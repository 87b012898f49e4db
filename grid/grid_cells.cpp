#include "grid/grid_cells.h"

#include <algorithm>

namespace kelvanor {

void GridCells::ReserveRows(int rows) {
  // Geometric, so that appending rows one at a time stays linear overall.
  const size_t wanted = static_cast<size_t>(rows) * static_cast<size_t>(ColumnCount());
  if (wanted > cells_.capacity()) cells_.reserve(std::max(wanted, 2 * cells_.capacity()));
  heights_.Reserve(rows);
}

void GridCells::AppendRows(Cells&& fresh, int rows, int height) {
  for (auto& cell : fresh) cells_.push_back(std::move(cell));
  for (int r = 0; r < rows; ++r) heights_.Append(height);
}

void GridCells::PrepareColumns(ColumnGrowth& growth, int count) {
  growth.count = count;
  growth.layout.resize(static_cast<size_t>(RowCount()) * static_cast<size_t>(ColumnCount() + count));
  widths_.Reserve(ColumnCount() + count);
}

void GridCells::AppendColumns(ColumnGrowth&& growth, int width) noexcept {
  const size_t oldCols = static_cast<size_t>(ColumnCount());
  const size_t newCols = oldCols + static_cast<size_t>(growth.count);
  for (size_t r = 0; r < static_cast<size_t>(RowCount()); ++r) {
    for (size_t c = 0; c < oldCols; ++c) growth.layout[r * newCols + c] = std::move(cells_[r * oldCols + c]);
    for (size_t c = oldCols; c < newCols; ++c)
      growth.layout[r * newCols + c] = std::move(growth.fresh[r * (newCols - oldCols) + (c - oldCols)]);
  }
  cells_.swap(growth.layout);
  for (int c = 0; c < growth.count; ++c) widths_.Append(width);
}

void GridCells::TruncateRows(int rows) {
  cells_.resize(static_cast<size_t>(rows) * static_cast<size_t>(ColumnCount()));
  heights_.Truncate(rows);
}

void GridCells::TruncateColumns(int cols) {
  const size_t oldCols = static_cast<size_t>(ColumnCount());
  const size_t newCols = static_cast<size_t>(cols);
  for (size_t r = 0; r < static_cast<size_t>(RowCount()); ++r)
    for (size_t c = 0; c < newCols; ++c) cells_[r * newCols + c] = std::move(cells_[r * oldCols + c]);
  cells_.resize(static_cast<size_t>(RowCount()) * newCols);
  widths_.Truncate(cols);
}

void GridCells::EraseRow(int row) {
  const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
  cells_.erase(first, first + ColumnCount());
  heights_.Erase(row);
}

void GridCells::Clear() {
  cells_.clear();
  heights_.Clear();
  widths_.Clear();
}

bool GridCells::checkConsistency() const {
  return cells_.size() == static_cast<size_t>(RowCount()) * static_cast<size_t>(ColumnCount()) &&
         heights_.checkConsistency() && widths_.checkConsistency();
}

}  // namespace kelvanor
