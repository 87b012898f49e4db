// Fitting rows and columns of CGridCtrl to what their cells need, by command, by
// Ctrl+numeric-plus and by a double click on a divider. Hidden (size 0) rows and columns
// are never fitted, so they stay hidden.
#include <algorithm>

#include "grid/grid_ctrl.h"
#include "grid/measure_dc.h"

namespace kelvanor {

bool CGridCtrl::AutoSizeColumn(int col, unsigned style, bool resetScrollBars) {
  if (col < 0 || col >= m_nCols || GetColumnWidth(col) <= 0) return false;
  MeasureDC measure;
  GdiDC* dc = measure.dc();
  if (!dc) return false;
  if (!style) style = m_nAutoSizeStyle;
  const int first = style & 0x1 ? 0 : m_nFixedRows;
  const int last = style & 0x2 ? m_nRows - 1 : m_nFixedRows - 1;
  int width = 0;
  for (int r = first; r <= last; ++r)
    if (const CGridCellBase* cell = GetCell(r, col)) width = std::max(width, cell->MeasureCell(dc).width());
  m_Cells.SetWidth(col, width);
  if (resetScrollBars) UpdateScrollBars();
  return true;
}

bool CGridCtrl::AutoSizeRow(int row) {
  if (row < 0 || row >= m_nRows || GetRowHeight(row) <= 0) return false;
  MeasureDC measure;
  GdiDC* dc = measure.dc();
  if (!dc) return false;
  int height = 0;
  for (int c = 0; c < m_nCols; ++c)
    if (const CGridCellBase* cell = GetCell(row, c)) height = std::max(height, cell->MeasureCell(dc).height());
  m_Cells.SetHeight(row, height);
  UpdateScrollBars();
  return true;
}

void CGridCtrl::AutoSizeColumns() {
  for (int c = 0; c < m_nCols; ++c)
    if (GetColumnWidth(c) > 0) AutoSizeColumn(c, 0, false);
  UpdateScrollBars();
}

bool CGridCtrl::FitDividerAt(QPoint point) {
  // Releasing the first click's capture left the grid idle; the platform's movement after
  // a capture release would have put it back over the divider.
  if (m_MouseMode == MM_IDLE) {
    if (m_bAllowColumnResize && IsOverColumnDivider(point))
      m_MouseMode = MM_OVER_COLUMN_EDGE;
    else if (m_bAllowRowResize && IsOverRowDivider(point))
      m_MouseMode = MM_OVER_ROW_EDGE;
  }
  const bool columns = m_MouseMode == MM_OVER_COLUMN_EDGE;
  if (!columns && m_MouseMode != MM_OVER_ROW_EDGE) return false;
  const CCellID cell = HitTestCell(point, true);
  QPoint origin;
  if (!(columns ? GetCellOrigin(0, cell.col, &origin) : GetCellOrigin(cell.row, 0, &origin))) return true;
  int index = columns ? cell.col : cell.row;
  if ((columns ? point.x() - origin.x() : point.y() - origin.y()) < m_nResizeCaptureRange) --index;
  while (index >= 0 && (columns ? GetColumnWidth(index) : GetRowHeight(index)) <= 0) --index;
  if (index < 0) return true;
  if (columns)
    AutoSizeColumn(index, m_nAutoSizeStyle, true);
  else
    AutoSizeRow(index);
  viewport()->update();
  return true;
}

}  // namespace kelvanor
