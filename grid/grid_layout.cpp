// Where the cells of CGridCtrl lie in the client area for the current scroll position.
// Sums over rows and columns come from the 64-bit prefix sums, so 100,000 rows cost
// O(log n) per question.
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

namespace {

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

// Walks entries first .. end - 1 of sizes from pixel start, adding each size, until the
// running edge reaches limit; returns the entry where it did (or end) and the edge there,
// capped at limit.
int WalkTo(const SizeIndex& sizes, int first, int end, std::int64_t start, std::int64_t limit, std::int64_t* edge) {
  if (first >= end) {
    *edge = start;
    return first;
  }
  const int k = std::max(first + 1, sizes.LowerBound(limit - start + sizes.Prefix(first)));
  if (k - 1 >= end) {
    *edge = start + sizes.Sum(first, end);
    return end;
  }
  *edge = limit;
  return k - 1;
}

// The entry under pixel x of a band that starts at pixel start with entry first, or -1.
int EntryAt(const SizeIndex& sizes, int first, int end, std::int64_t start, std::int64_t x) {
  if (first >= end || x < start) return -1;
  const int k = std::max(first + 1, sizes.LowerBound(x - start + 1 + sizes.Prefix(first)));
  return k - 1 < end ? k - 1 : -1;
}

}  // namespace

GdiRect CGridCtrl::GetClientRect() const { return GdiRect::FromQRect(viewport()->rect()); }

int CGridCtrl::ScrolledIndex(const SizeIndex& sizes, int fixed, std::int64_t position) const {
  if (position <= 0 || fixed >= sizes.Count() - 1) return fixed;
  // The first entry whose left edge, counted from the first scrollable one, is at or past
  // the position; never past the last entry.
  return std::min(sizes.LowerBound(sizes.Prefix(fixed) + position), sizes.Count() - 1);
}

CCellID CGridCtrl::GetFirstScrolledCell() {
  if (m_idTopLeftCell.row != -1 && m_idTopLeftCell.col != -1) return m_idTopLeftCell;
  m_idTopLeftCell.col = ScrolledIndex(m_Cells.widths(), m_nFixedCols, m_HScroll.Pos());
  m_idTopLeftCell.row = ScrolledIndex(m_Cells.heights(), m_nFixedRows, m_VScroll.Pos());
  return m_idTopLeftCell;
}

CCellBlock CGridCtrl::GetVisibleScrollingCells(GdiRect* rect) {
  const GdiRect client = GetClientRect();
  const CCellID topLeft = GetFirstScrolledCell();
  std::int64_t bottom = 0, right = 0;
  const int i = WalkTo(m_Cells.heights(), topLeft.row, m_nRows, GetFixedRowHeight(), client.bottom, &bottom);
  const int j = WalkTo(m_Cells.widths(), topLeft.col, m_nCols, GetFixedColumnWidth(), client.right, &right);
  if (rect) *rect = {0, 0, ClampToInt(right), ClampToInt(bottom)};
  return CCellBlock(topLeft.row, topLeft.col, std::min(i, m_nRows - 1), std::min(j, m_nCols - 1));
}

CCellBlock CGridCtrl::GetVisibleHeaderCells(GdiRect* rect) {
  const GdiRect client = GetClientRect();
  const CCellID topLeft = GetFirstScrolledCell();
  std::int64_t bottom = 0, right = 0;
  const int i = WalkTo(m_Cells.heights(), topLeft.row, m_nRows, GetFixedRowHeight(), client.bottom, &bottom);
  const int j = WalkTo(m_Cells.widths(), 0, m_nFixedCols, 0, client.right, &right);
  if (rect) *rect = {0, 0, ClampToInt(right), ClampToInt(bottom)};
  return CCellBlock(topLeft.row, 0, std::min(i, m_nRows - 1), std::min(j, m_nCols - 1));
}

std::int64_t CGridCtrl::RowTop(int row) const {
  if (row < m_nFixedRows) return m_Cells.heights().Prefix(row);
  return GetFixedRowHeight() + m_Cells.heights().Sum(m_idTopLeftCell.row, row);
}

std::int64_t CGridCtrl::ColumnLeft(int col) const {
  if (col < m_nFixedCols) return m_Cells.widths().Prefix(col);
  return GetFixedColumnWidth() + m_Cells.widths().Sum(m_idTopLeftCell.col, col);
}

bool CGridCtrl::GetCellOrigin(int row, int col, QPoint* origin) {
  if (!IsValid(row, col)) return false;
  const CCellID topLeft = GetFirstScrolledCell();
  if ((col >= m_nFixedCols && col < topLeft.col) || (row >= m_nFixedRows && row < topLeft.row)) return false;
  if (origin) *origin = QPoint(ClampToInt(ColumnLeft(col)), ClampToInt(RowTop(row)));
  return true;
}

bool CGridCtrl::GetCellRect(int row, int col, GdiRect* rect) {
  QPoint origin;
  if (!GetCellOrigin(row, col, &origin)) return false;
  if (rect) {
    *rect = {origin.x(), origin.y(), origin.x() + GetColumnWidth(col) - 1, origin.y() + GetRowHeight(row) - 1};
  }
  return true;
}

CCellID CGridCtrl::HitTestCell(QPoint point, bool allowFixed) {
  const CCellID topLeft = GetFirstScrolledCell();
  if (!allowFixed && !IsValid(topLeft)) return CCellID();
  auto hit = [&](const SizeIndex& sizes, int fixed, int first, int fixedSize, int x) {
    if (x < 0 || (!allowFixed && x < fixedSize)) return -1;
    if (x < fixedSize) return EntryAt(sizes, 0, fixed, 0, x);
    return EntryAt(sizes, first, sizes.Count(), fixedSize, x);
  };
  return CCellID(hit(m_Cells.heights(), m_nFixedRows, topLeft.row, GetFixedRowHeight(), point.y()),
                 hit(m_Cells.widths(), m_nFixedCols, topLeft.col, GetFixedColumnWidth(), point.x()));
}

QPoint CGridCtrl::PointRelativeToCell(int row, int col, QPoint point) {
  QPoint origin;
  if (!GetCellOrigin(row, col, &origin)) return QPoint(0, 0);
  return point - origin;
}

bool CGridCtrl::IsCellVisible(int row, int col) {
  if (!IsValid(row, col)) return false;
  const CCellID topLeft = GetFirstScrolledCell();
  if ((col >= m_nFixedCols && col < topLeft.col) || (row >= m_nFixedRows && row < topLeft.row)) return false;
  const GdiRect client = GetClientRect();
  return ColumnLeft(col) < client.right && RowTop(row) < client.bottom;
}

bool CGridCtrl::InvalidateCellRect(int row, int col) {
  GdiRect rect;
  if (!IsCellVisible(row, col) || !GetCellRect(row, col, &rect)) return false;
  // The inclusive rectangle grown by one pixel to the right and bottom is exactly the cell,
  // its grid lines included.
  viewport()->update(QRect(rect.left, rect.top, rect.Width() + 1, rect.Height() + 1));
  return true;
}

}  // namespace kelvanor
