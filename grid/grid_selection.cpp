// Focus cell, selected cells and notifications of CGridCtrl.
#include <QGuiApplication>
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

namespace {
struct WaitCursor {
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};
}  // namespace

int CGridCtrl::NotifyParent(int row, int col, int code) {
  GridNotifyHandler* handler = m_pNotifyHandler ? m_pNotifyHandler : dynamic_cast<GridNotifyHandler*>(parentWidget());
  if (!handler) return 0;
  GridNotify notify;
  notify.hwndFrom = this;
  notify.idFrom = m_nCtrlId;
  notify.code = code;
  notify.iRow = row;
  notify.iColumn = col;
  return handler->OnGridNotify(notify);
}

void CGridCtrl::RedrawFixedCellsOf(int row, int col, bool rowChanged, bool colChanged) {
  if (!m_bTrackFocusCell) return;
  if (colChanged)
    for (int r = 0; r < m_nFixedRows; ++r) RedrawCell(r, col);
  if (rowChanged)
    for (int c = 0; c < m_nFixedCols; ++c) RedrawCell(row, c);
}

CCellID CGridCtrl::SetFocusCell(CCellID cell) {
  if (cell == m_idCurrentCell) return m_idCurrentCell;
  const CCellID previous = m_idCurrentCell;
  if (cell.row != -1 && cell.row < m_nFixedRows) cell.row = m_nFixedRows;
  if (cell.col != -1 && cell.col < m_nFixedCols) cell.col = m_nFixedCols;
  m_idCurrentCell = cell;
  const bool rowChanged = previous.row != cell.row, colChanged = previous.col != cell.col;
  if (IsValid(previous)) {
    SetItemState(previous.row, previous.col, GetItemState(previous.row, previous.col) & ~CELL_FOCUSED);
    RedrawCell(previous.row, previous.col);
    RedrawFixedCellsOf(previous.row, previous.col, rowChanged, colChanged);
  }
  if (IsValid(cell)) {
    SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | CELL_FOCUSED);
    RedrawCell(cell.row, cell.col);
    RedrawFixedCellsOf(cell.row, cell.col, rowChanged, colChanged);
  }
  return previous;
}

CCellID CGridCtrl::FirstShownCell() const {
  int row = m_nFixedRows, col = m_nFixedCols;
  while (row < m_nRows && GetRowHeight(row) <= 0) ++row;
  while (col < m_nCols && GetColumnWidth(col) <= 0) ++col;
  return row < m_nRows && col < m_nCols ? CCellID(row, col) : CCellID();
}

void CGridCtrl::SetCellSelectedBit(int row, int col, bool select) {
  const std::uint32_t state = GetItemState(row, col);
  SetItemState(row, col, select ? state | CELL_SELECTED : state & ~CELL_SELECTED);
}

void CGridCtrl::RedrawSelectionCell(int row, int col, bool forceRepaint, const CCellBlock& visible,
                                    const CCellBlock& visibleFixed) {
  if (!visible.Contains(row, col) && !visibleFixed.Contains(row, col)) return;
  if (forceRepaint)
    RedrawCell(row, col);
  else
    InvalidateCellRect(row, col);
}

// Only cells whose selected state ends up different are redrawn: a cell of the old
// selection that the new one selects again keeps its pixels.
void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint, bool select) {
  if (!m_bEnableSelection) return;
  const WaitCursor wait;
  const CCellBlock visible = GetVisibleScrollingCells();
  const CCellBlock visibleFixed = GetVisibleHeaderCells();

  const int leftLimit = m_bRowSelectionIncludesFixed ? 0 : m_nFixedCols;
  auto clampRow = [&](int& row) { if (row >= 0 && row < m_nFixedRows) row = m_nFixedRows; };
  auto clampCol = [&](int& col) { if (col >= 0 && col < leftLimit) col = m_nFixedCols; };
  clampRow(minRow);
  clampRow(maxRow);
  clampCol(minCol);
  clampCol(maxCol);
  const bool bounded = minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0;
  const bool fill = bounded && maxRow < m_nRows && maxCol < m_nCols && minRow <= maxRow && minCol <= maxCol;
  const CCellBlock range(minRow, minCol, maxRow, maxCol);

  SelectedCellMap old;
  if (select) {
    old.Swap(m_SelectedCellMap);
    auto deselect = [&](CCellID cell) {
      CGridCellBase* item = GetCell(cell.row, cell.col);
      if (!item) return;  // no longer a cell: its key is simply dropped
      item->SetState(item->GetState() & ~CELL_SELECTED);
      if (!(fill && range.Contains(cell.row, cell.col)))
        RedrawSelectionCell(cell.row, cell.col, forceRepaint, visible, visibleFixed);
    };
    // A large selection is walked in table order rather than in the map's hash order: the
    // map holds exactly the cells that carry CELL_SELECTED, and memory order is far faster.
    if (old.Count() > m_nRows / 16 * m_nCols) {
      for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
          if (const CGridCellBase* item = GetCell(r, c); item && (item->GetState() & CELL_SELECTED)) deselect({r, c});
    } else {
      old.ForEach(deselect);
    }
    if (bounded) {
      m_PrevSelectedCellMap.ForEach([&](CCellID cell) {
        if (!IsValid(cell)) return;
        SetCellSelectedBit(cell.row, cell.col, true);
        if (!old.Contains(CellKeyOf(cell.row, cell.col)))
          RedrawSelectionCell(cell.row, cell.col, forceRepaint, visible, visibleFixed);
      });
    }
  }
  if (fill) {
    if (select) m_SelectedCellMap.Reserve(m_SelectedCellMap.Count() + (maxRow - minRow + 1) * (maxCol - minCol + 1));
    for (int r = minRow; r <= maxRow; ++r) {
      for (int c = minCol; c <= maxCol; ++c) {
        CGridCellBase* cell = GetCell(r, c);
        if (!cell || bool(cell->GetState() & CELL_SELECTED) == select) continue;
        // The map and the state bit change together, as SetItemState keeps them.
        if (select) {
          m_SelectedCellMap.Insert(CCellID(r, c));
          cell->SetState(cell->GetState() | CELL_SELECTED);
        } else {
          m_SelectedCellMap.Erase(CellKeyOf(r, c));
          cell->SetState(cell->GetState() & ~CELL_SELECTED);
        }
        if (!select || !old.Contains(CellKeyOf(r, c))) RedrawSelectionCell(r, c, forceRepaint, visible, visibleFixed);
      }
    }
  }
}

void CGridCtrl::SelectAllCells() {
  if (!m_bEnableSelection) return;
  SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridCtrl::SelectColumns(CCellID cell, bool forceRepaint, bool select) {
  if (!m_bEnableSelection || !IsValid(cell) || cell.col < m_nFixedCols) return;
  const CCellID anchor = m_SelectionStartCell;
  SetSelectedRange(m_nFixedRows, std::min(anchor.col, cell.col), m_nRows - 1, std::max(anchor.col, cell.col),
                   forceRepaint, select);
}

void CGridCtrl::SelectRows(CCellID cell, bool forceRepaint, bool select) {
  if (!m_bEnableSelection || !IsValid(cell) || cell.row < m_nFixedRows) return;
  const CCellID anchor = m_SelectionStartCell;
  SetSelectedRange(std::min(anchor.row, cell.row), m_bRowSelectionIncludesFixed ? 0 : m_nFixedCols,
                   std::max(anchor.row, cell.row), m_nCols - 1, forceRepaint, select);
}

void CGridCtrl::SelectCells(CCellID cell, bool forceRepaint, bool select) {
  if (!m_bEnableSelection || !IsValid(cell) || cell.row < m_nFixedRows || cell.col < m_nFixedCols) return;
  const CCellID anchor = m_SelectionStartCell;
  SetSelectedRange(std::min(anchor.row, cell.row), std::min(anchor.col, cell.col), std::max(anchor.row, cell.row),
                   std::max(anchor.col, cell.col), forceRepaint, select);
}

void CGridCtrl::ClearSelection() {
  m_PrevSelectedCellMap.Clear();
  SetSelectedRange(-1, -1, -1, -1);
  SetFocusCell(-1, -1);
}

CCellBlock CGridCtrl::GetSelectedCellRange() const {
  CCellBlock range(m_nRows, m_nCols, -1, -1);
  m_SelectedCellMap.ForEach([&](CCellID cell) {
    range.minRow = std::min(range.minRow, cell.row);
    range.minCol = std::min(range.minCol, cell.col);
    range.maxRow = std::max(range.maxRow, cell.row);
    range.maxCol = std::max(range.maxCol, cell.col);
  });
  return range;
}

bool CGridCtrl::IsCellSelected(int row, int col) const {
  if (!m_bEnableSelection) return false;
  const CGridCellBase* cell = GetCell(row, col);
  return cell && (cell->GetState() & CELL_SELECTED);
}

void CGridCtrl::OnEditSelectAll() {
  NotifyParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GN_SELCHANGING);
  SelectAllCells();
  NotifyParent(m_idCurrentCell.row, m_idCurrentCell.col, GN_SELCHANGED);
}

}  // namespace kelvanor
