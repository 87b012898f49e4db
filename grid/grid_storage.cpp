// Rows, columns and cells of CGridCtrl: shape changes and per-item accessors.
#include <algorithm>
#include <new>

#include "grid/grid_ctrl.h"
#include "platform/message_box.h"

namespace kelvanor {

CGridCellBase* CGridCtrl::CreateCell(int row, int col) {
  if (!m_pRtcDefault || !m_pRtcDefault->create) return nullptr;
  CGridCellBase* cell = m_pRtcDefault->create();
  if (!cell) return nullptr;
  cell->SetGrid(this);
  cell->SetPosition(row, col);
  std::uint32_t state = cell->GetState();
  if (col < m_nFixedCols) state |= CELL_FIXED | CELL_FIXEDCOL;
  if (row < m_nFixedRows) state |= CELL_FIXED | CELL_FIXEDROW;
  cell->SetState(state);
  if (const CGridDefaultCell* def = cell->GetDefaultCell()) cell->SetFormat(def->GetFormat());
  return cell;
}

void CGridCtrl::DestroyCell(int row, int col) {
  SetItemState(row, col, 0);
  m_Cells.Slot(row, col).reset();
}

void CGridCtrl::DestroyRowCells(int row, int fromCol) {
  for (int c = fromCol; c < m_Cells.ColumnCount(); ++c) DestroyCell(row, c);
}

void CGridCtrl::ShowMemoryMessage() { ShowMessageBox(this, "Out of memory.", "", MessageIcon::Warning); }

// New cells are made aside and moved in only once everything they need is allocated, so
// a failed allocation leaves the grid exactly as it was.
bool CGridCtrl::GrowRows(int rows) {
  GridCells::Cells fresh;
  try {
    fresh.reserve(static_cast<size_t>(rows - m_nRows) * static_cast<size_t>(m_nCols));
    for (int r = m_nRows; r < rows; ++r)
      for (int c = 0; c < m_nCols; ++c) fresh.emplace_back(CreateCell(r, c));
    m_Cells.ReserveRows(rows);
  } catch (const std::bad_alloc&) {
    ShowMemoryMessage();
    return false;
  }
  m_Cells.AppendRows(std::move(fresh), rows - m_nRows, m_cellDefault.GetHeight());
  m_nRows = rows;
  return true;
}

bool CGridCtrl::GrowColumns(int cols) {
  GridCells::ColumnGrowth growth;
  try {
    m_Cells.PrepareColumns(growth, cols - m_nCols);
    growth.fresh.reserve(static_cast<size_t>(m_nRows) * static_cast<size_t>(cols - m_nCols));
    for (int r = 0; r < m_nRows; ++r)
      for (int c = m_nCols; c < cols; ++c) growth.fresh.emplace_back(CreateCell(r, c));
  } catch (const std::bad_alloc&) {
    ShowMemoryMessage();
    return false;
  }
  m_Cells.AppendColumns(std::move(growth), m_cellFixedColDef.GetWidth());
  m_nCols = cols;
  return true;
}

bool CGridCtrl::SetRowCount(int rows) {
  if (rows < 0) return false;
  if (rows == m_nRows) return true;
  ResetTopLeft();
  if (rows > m_nRows) {
    if (!GrowRows(rows)) return false;
  } else {
    if (rows < m_nFixedRows) m_nFixedRows = rows;
    if (m_idCurrentCell.row >= rows) SetFocusCell(-1, -1);
    for (int r = rows; r < m_nRows; ++r) DestroyRowCells(r, 0);
    m_Cells.TruncateRows(rows);
    m_nRows = rows;
  }
  SetModified(-1, -1);
  UpdateScrollBars();
  Refresh();
  return true;
}

bool CGridCtrl::SetColumnCount(int cols) {
  if (cols < 0) return false;
  if (cols == m_nCols) return true;
  ResetTopLeft();
  if (cols > m_nCols) {
    if (!GrowColumns(cols)) return false;
  } else {
    if (cols < m_nFixedCols) m_nFixedCols = cols;
    if (m_idCurrentCell.col >= cols) SetFocusCell(-1, -1);
    for (int r = 0; r < m_nRows; ++r) DestroyRowCells(r, cols);
    m_Cells.TruncateColumns(cols);
    m_nCols = cols;
  }
  SetModified(-1, -1);
  UpdateScrollBars();
  Refresh();
  return true;
}

// Gives the cells of rows [r0, r1) x columns [c0, c1) the fixed mark bit (CELL_FIXEDROW
// or CELL_FIXEDCOL), or takes it off. Colours go back to the area's defaults, except on
// cells that stay fixed through the other band: they keep CELL_FIXED and their colours.
void CGridCtrl::MarkFixed(int r0, int r1, int c0, int c1, std::uint32_t bit, bool fixed) {
  for (int r = r0; r < r1; ++r) {
    for (int c = c0; c < c1; ++c) {
      const bool stillFixed = bit == CELL_FIXEDROW ? c < m_nFixedCols : r < m_nFixedRows;
      const std::uint32_t state = GetItemState(r, c);
      if (fixed) {
        SetItemState(r, c, state | CELL_FIXED | bit);
      } else {
        SetItemState(r, c, state & ~(stillFixed ? bit : CELL_FIXED | bit));
        if (stillFixed) continue;
      }
      SetItemBackColor(r, c, CLR_DEFAULT);
      SetItemTextColor(r, c, CLR_DEFAULT);
    }
  }
}

bool CGridCtrl::SetFixedRowCount(int fixedRows) {
  if (fixedRows < 0) return false;
  if (fixedRows == m_nFixedRows) return true;
  // Growing first: if memory runs out the grid keeps its selection as well as its shape.
  if (fixedRows > m_nRows && !SetRowCount(fixedRows)) return false;
  ClearSelection();
  ResetTopLeft();
  if (m_idCurrentCell.row < fixedRows) SetFocusCell(-1, -1);
  if (fixedRows > m_nFixedRows)
    MarkFixed(m_nFixedRows, fixedRows, 0, m_nCols, CELL_FIXEDROW, true);
  else
    MarkFixed(fixedRows, m_nFixedRows, 0, m_nCols, CELL_FIXEDROW, false);
  m_nFixedRows = fixedRows;
  Refresh();
  return true;
}

bool CGridCtrl::SetFixedColumnCount(int fixedCols) {
  if (fixedCols < 0) return false;
  if (fixedCols == m_nFixedCols) return true;
  if (fixedCols > m_nCols && !SetColumnCount(fixedCols)) return false;
  if (m_idCurrentCell.col < fixedCols) SetFocusCell(-1, -1);
  ClearSelection();
  ResetTopLeft();
  if (fixedCols > m_nFixedCols)
    MarkFixed(0, m_nRows, m_nFixedCols, fixedCols, CELL_FIXEDCOL, true);
  else
    MarkFixed(0, m_nRows, fixedCols, m_nFixedCols, CELL_FIXEDCOL, false);
  m_nFixedCols = fixedCols;
  Refresh();
  return true;
}

int CGridCtrl::InsertRow(const std::string& heading) {
  ResetTopLeft();
  ClearSelection();
  if (m_nCols == 0 && !SetColumnCount(1)) return -1;
  const int row = m_nRows;
  GridCells::Cells cells;
  try {
    cells.reserve(static_cast<size_t>(m_nCols));
    for (int c = 0; c < m_nCols; ++c) cells.emplace_back(CreateCell(row, c));
    m_Cells.ReserveRows(row + 1);
  } catch (const std::bad_alloc&) {
    ShowMemoryMessage();
    return -1;
  }
  m_Cells.AppendRows(std::move(cells), 1, 0);
  ++m_nRows;
  SetItemText(row, 0, heading);
  const CGridCellBase* first = GetCell(row, 0);
  const int height = heading.empty() || !first ? m_cellFixedRowDef.GetHeight() : first->MeasureText(heading).height();
  m_Cells.SetHeight(row, std::max(0, height));
  UpdateScrollBars();
  SetModified(-1, -1);
  return row;
}

bool CGridCtrl::DeleteRow(int row) {
  if (row < 0 || row >= m_nRows) return false;
  ClearSelection();
  DestroyRowCells(row, 0);
  m_Cells.EraseRow(row);
  --m_nRows;
  if (row < m_nFixedRows) --m_nFixedRows;
  UpdateScrollBars();
  SetModified(-1, -1);
  return true;
}

bool CGridCtrl::DeleteAllItems() {
  ClearSelection();
  for (int r = 0; r < m_nRows; ++r) DestroyRowCells(r, 0);
  m_Cells.Clear();
  m_idCurrentCell = CCellID();
  m_nRows = m_nCols = m_nFixedRows = m_nFixedCols = 0;
  UpdateScrollBars();
  SetModified(-1, -1);
  return true;
}

bool CGridCtrl::SetItem(const GRIDITEM* item) {
  if (!item) return false;
  CGridCellBase* cell = GetCell(item->row, item->col);
  if (!cell) return false;
  SetModified(item->row, item->col);
  if (item->mask & GIF_TEXT) cell->SetText(item->strText);
  if (item->mask & GIF_PARAM) cell->SetData(item->lParam);
  if (item->mask & GIF_IMAGE) cell->SetImage(item->iImage);
  if (item->mask & GIF_STATE) SetItemState(item->row, item->col, item->nState);
  if (item->mask & GIF_FORMAT) cell->SetFormat(item->nFormat);
  if (item->mask & GIF_BKCLR) cell->SetBackColor(item->crBkClr);
  if (item->mask & GIF_FGCLR) cell->SetForeColor(item->crFgClr);
  if (item->mask & GIF_FONT) cell->SetFont(&item->lfFont);
  if (item->mask & GIF_MARGIN) cell->SetMargin(item->nMargin);
  return true;
}

bool CGridCtrl::SetItemText(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return false;
  cell->SetText(text);
  SetModified(row, col);
  return true;
}

std::string CGridCtrl::GetItemText(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetText() : std::string();
}

std::uint32_t CGridCtrl::GetItemState(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetState() : 0;
}

// The map follows the cell's stored bit (not IsCellSelected, which is false while selection
// is disabled), and a missing cell changes nothing, so the two can never drift apart.
bool CGridCtrl::SetItemState(int row, int col, std::uint32_t state) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return false;
  const bool was = cell->GetState() & CELL_SELECTED;
  const bool now = state & CELL_SELECTED;
  if (was && !now) m_SelectedCellMap.Erase(CellKeyOf(row, col));
  if (now) m_SelectedCellMap.Insert(CCellID(row, col));
  cell->SetState(state);
  return true;
}

void CGridCtrl::SetItemBackColor(int row, int col, COLORREF color) {
  if (CGridCellBase* cell = GetCell(row, col)) cell->SetBackColor(color);
}

void CGridCtrl::SetItemTextColor(int row, int col, COLORREF color) {
  if (CGridCellBase* cell = GetCell(row, col)) cell->SetForeColor(color);
}

void CGridCtrl::SetModified(int row, int col) {
  if (col < 0 || col == m_nSortColumn) SetSortColumn(-1);
  if (row >= 0 && col >= 0) SetItemState(row, col, GetItemState(row, col) | CELL_MODIFIED);
}

void CGridCtrl::SetSortColumn(int col) {
  if (m_nSortColumn >= 0) InvalidateCellRect(0, m_nSortColumn);
  m_nSortColumn = col;
  if (col >= 0) InvalidateCellRect(0, col);
}

int CGridCtrl::GetRowHeight(int row) const {
  return row < 0 || row >= m_nRows ? -1 : m_Cells.heights().Size(row);
}

int CGridCtrl::GetColumnWidth(int col) const {
  return col < 0 || col >= m_nCols ? -1 : m_Cells.widths().Size(col);
}

bool CGridCtrl::SetRowHeight(int row, int height) {
  if (row < 0 || row >= m_nRows || height < 0) return false;
  m_Cells.SetHeight(row, height);
  UpdateScrollBars();
  return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= m_nCols || width < 0) return false;
  m_Cells.SetWidth(col, width);
  UpdateScrollBars();
  return true;
}

int CGridCtrl::GetFixedRowHeight() const {
  return static_cast<int>(std::min<std::int64_t>(m_Cells.heights().Prefix(m_nFixedRows), INT32_MAX / 2));
}

int CGridCtrl::GetFixedColumnWidth() const {
  return static_cast<int>(std::min<std::int64_t>(m_Cells.widths().Prefix(m_nFixedCols), INT32_MAX / 2));
}

void CGridCtrl::Refresh() { viewport()->update(); }

}  // namespace kelvanor
