#pragma once
// The table of owned cells, kept row-major in one array, with the row heights and column
// widths. Contract: RowCount() == heights().Count(), ColumnCount() == widths().Count(),
// and the array holds exactly RowCount() * ColumnCount() slots (a slot may be empty when a
// cell could not be created).
#include <memory>
#include <vector>

#include "grid/grid_cell_base.h"
#include "grid/size_index.h"

namespace kelvanor {

class GridCells {
 public:
  using Cells = std::vector<std::unique_ptr<CGridCellBase>>;

  int RowCount() const { return heights_.Count(); }
  int ColumnCount() const { return widths_.Count(); }
  // Null for a position outside the table or an empty slot.
  CGridCellBase* Cell(int row, int col) const {
    if (row < 0 || col < 0 || row >= RowCount() || col >= ColumnCount()) return nullptr;
    return cells_[Index(row, col)].get();
  }
  std::unique_ptr<CGridCellBase>& Slot(int row, int col) { return cells_[Index(row, col)]; }

  const SizeIndex& heights() const { return heights_; }
  const SizeIndex& widths() const { return widths_; }
  void SetHeight(int row, int height) { heights_.Set(row, height); }
  void SetWidth(int col, int width) { widths_.Set(col, width); }

  // Makes room so that AppendRows up to this many rows cannot fail.
  void ReserveRows(int rows);
  // rows * ColumnCount() cells, row-major; ReserveRows first makes it a no-fail append.
  void AppendRows(Cells&& fresh, int rows, int height);
  // Allocations for AppendColumns, made before anything changes; may throw.
  struct ColumnGrowth {
    Cells layout;  // the new array, sized for every row and column
    Cells fresh;   // the new cells, RowCount() x count, row-major
    int count = 0;
  };
  void PrepareColumns(ColumnGrowth& growth, int count);
  // Cannot fail once PrepareColumns succeeded.
  void AppendColumns(ColumnGrowth&& growth, int width) noexcept;
  void TruncateRows(int rows);
  void TruncateColumns(int cols);
  void EraseRow(int row);
  void Clear();
  bool checkConsistency() const;

 private:
  size_t Index(int row, int col) const {
    return static_cast<size_t>(row) * static_cast<size_t>(ColumnCount()) + static_cast<size_t>(col);
  }

  Cells cells_;
  SizeIndex heights_;
  SizeIndex widths_;
};

}  // namespace kelvanor
