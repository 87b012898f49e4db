// The mouse state machine of CGridCtrl: presses, moves, releases, double clicks, the right
// button, divider hover, cursors and the auto-scroll timer of a drag selection.
#include <QGuiApplication>
#include <QMetaObject>
#include <QMouseEvent>
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

void CGridCtrl::ExtendSelection(CCellID cell) {
  if (!m_bEnableSelection) return;
  switch (m_MouseMode) {
    case MM_SELECT_ALL: SelectAllCells(); break;
    case MM_SELECT_COLUMNS: SelectColumns(cell); break;
    case MM_SELECT_ROWS: SelectRows(cell); break;
    case MM_SELECT_CELLS: SelectCells(cell); break;
    default: break;
  }
}

void CGridCtrl::OnColumnHeaderClick(CCellID cell) {
  if (!IsValid(cell)) return;
  if (m_bSortOnClick) SortOnHeaderClick(cell.col);
  if (!m_bFixedRowSelection) return;
  m_MouseMode = cell.col < m_nFixedCols ? MM_SELECT_ALL : MM_SELECT_COLUMNS;
  ExtendSelection(cell);
}

void CGridCtrl::OnRowHeaderClick(CCellID cell) {
  if (!IsValid(cell) || !m_bFixedColumnSelection) return;
  m_MouseMode = cell.row < m_nFixedRows ? MM_SELECT_ALL : MM_SELECT_ROWS;
  ExtendSelection(cell);
}

// Whether the point lies within the capture range of a divider between header cells: of
// columns in the fixed-row band, or of rows in the fixed-column band. The first divider
// (left of column 0, above row 0) never counts.
bool CGridCtrl::IsOverDivider(QPoint point, bool columns) {
  const int across = columns ? point.y() : point.x(), along = columns ? point.x() : point.y();
  if (across >= (columns ? GetFixedRowHeight() : GetFixedColumnWidth())) return false;
  const CCellID cell = HitTestCell(point, true);
  QPoint origin;
  if (!GetCellOrigin(cell.row, cell.col, &origin)) return false;
  const int index = columns ? cell.col : cell.row;
  const int start = columns ? origin.x() : origin.y();
  const int size = columns ? GetColumnWidth(index) : GetRowHeight(index);
  return (along - start < m_nResizeCaptureRange && index != 0) || start + size - along < m_nResizeCaptureRange;
}

bool CGridCtrl::InTextArea(CCellID cell, QPoint point) {
  CGridCellBase* item = GetCell(cell.row, cell.col);
  GdiRect rect;
  if (!item || !GetCellRect(cell.row, cell.col, &rect) || !item->GetTextArea(rect)) return false;
  return point.x() >= rect.left && point.x() <= rect.right && point.y() >= rect.top && point.y() <= rect.bottom;
}

void CGridCtrl::StopAutoScroll() {
  m_AutoScrollTimer.stop();
  m_nTimerID = 0;
}

// Another window took the pointer (activation moved away, a popup opened): no release
// will come, so whatever the press began ends here.
void CGridCtrl::OnCaptureLost() {
  StopAutoScroll();
  m_bLMouseButtonDown = false;
  if (m_MouseMode == MM_SIZE_COLUMN || m_MouseMode == MM_SIZE_ROW) CancelResize();
  m_MouseMode = MM_IDLE;
}

void CGridCtrl::PostClickCommand() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        GridNotifyHandler* handler =
            m_pNotifyHandler ? m_pNotifyHandler : dynamic_cast<GridNotifyHandler*>(parentWidget());
        if (handler) handler->OnGridCommand(this, m_nCtrlId);
      },
      Qt::QueuedConnection);
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLeftButtonDown(event->position().toPoint(), event->modifiers());
}

void CGridCtrl::OnLeftButtonDown(QPoint point, Qt::KeyboardModifiers modifiers) {
  setFocus(Qt::MouseFocusReason);
  m_bLMouseButtonDown = true;
  m_LeftClickDownPoint = m_ptCursor = point;
  m_LeftClickDownCell = HitTestCell(point, true);
  const CCellID cell = m_LeftClickDownCell;
  if (!IsValid(cell)) return;
  const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;

  if (!shift)
    m_SelectionStartCell = cell;
  else if (!IsValid(m_SelectionStartCell))
    m_SelectionStartCell = m_idCurrentCell;

  StopEditing();
  if (CGridCellBase* item = GetCell(cell.row, cell.col)) item->OnButtonDown(PointRelativeToCell(cell.row, cell.col, point));

  if (cell == m_idCurrentCell && !ctrl && InTextArea(cell, point) && IsCellEditable(cell)) {
    m_MouseMode = MM_PREPARE_EDIT;
    return;
  }
  if (IsCellSelected(cell)) {
    SetFocusCell(cell);
    if (ctrl) {
      SelectCells(cell, true, false);
      return;
    }
    if (m_bAllowDragAndDrop) m_MouseMode = MM_PREPARE_DRAG;
  } else if (m_MouseMode != MM_OVER_COLUMN_EDGE && m_MouseMode != MM_OVER_ROW_EDGE) {
    const bool fixed = cell.row < m_nFixedRows || cell.col < m_nFixedCols;
    SetFocusCell(fixed ? CCellID() : cell);
  }

  // The mouse stays with the grid until the release (Qt's implicit grab).
  if (m_MouseMode == MM_IDLE) {
    if (m_bAllowColumnResize && IsOverColumnDivider(point)) {
      ShowCursor(Qt::SizeHorCursor);
      m_MouseMode = MM_OVER_COLUMN_EDGE;
    } else if (m_bAllowRowResize && IsOverRowDivider(point)) {
      ShowCursor(Qt::SizeVerCursor);
      m_MouseMode = MM_OVER_ROW_EDGE;
    }
  }

  if (m_MouseMode == MM_OVER_COLUMN_EDGE || m_MouseMode == MM_OVER_ROW_EDGE) {
    m_MouseMode = m_MouseMode == MM_OVER_COLUMN_EDGE ? MM_SIZE_COLUMN : MM_SIZE_ROW;
    OnBeginResize(point);
  } else if (m_MouseMode != MM_PREPARE_DRAG) {
    NotifyParent(cell.row, cell.col, GN_SELCHANGING);
    m_PrevSelectedCellMap.Clear();
    if (ctrl) m_SelectedCellMap.ForEach([this](CCellID selected) { m_PrevSelectedCellMap.Insert(selected); });
    if (cell.row < m_nFixedRows) {
      OnColumnHeaderClick(cell);
    } else if (cell.col < m_nFixedCols) {
      OnRowHeaderClick(cell);
    } else {
      m_MouseMode = MM_SELECT_CELLS;
      ExtendSelection(cell);
      m_AutoScrollTimer.start(m_nAutoScrollInterval);
      m_nTimerID = AUTOSCROLL_TIMER;
    }
  }
  m_LastMousePoint = point;
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  m_ptCursor = point;
  const GdiRect client = GetClientRect();
  const bool inside = point.x() >= client.left && point.x() < client.right && point.y() >= client.top &&
                      point.y() < client.bottom;
  if (m_MouseMode != MM_DRAGGING && !inside) return;

  if (!m_bLMouseButtonDown || m_MouseMode == MM_IDLE) {
    if (m_bAllowColumnResize && IsOverColumnDivider(point)) {
      m_MouseMode = MM_OVER_COLUMN_EDGE;
    } else if (m_bAllowRowResize && IsOverRowDivider(point)) {
      m_MouseMode = MM_OVER_ROW_EDGE;
    } else {
      m_MouseMode = MM_IDLE;
    }
    if (m_MouseMode == MM_IDLE) {
      const CCellID cell = HitTestCell(point, true);
      if (CGridCellBase* item = GetCell(cell.row, cell.col)) item->OnMouseOver();
      if (m_bTitleTips) OfferTitleTip(point);
    }
    m_LastMousePoint = point;
    UpdateHoverCursor();
    return;
  }
  if (!IsValid(m_LeftClickDownCell)) return;
  switch (m_MouseMode) {
    case MM_SELECT_COLUMNS:
    case MM_SELECT_ROWS:
    case MM_SELECT_CELLS: {
      const CCellID cell = HitTestCell(point, true);
      if (!IsValid(cell)) return;
      if (cell != m_idCurrentCell) {
        ExtendSelection(cell);
        const bool fixed = cell.row < m_nFixedRows || cell.col < m_nFixedCols;
        if (!fixed || m_MouseMode == MM_SELECT_COLUMNS || m_MouseMode == MM_SELECT_ROWS) SetFocusCell(cell);
      }
      break;
    }
    case MM_SIZE_ROW:
    case MM_SIZE_COLUMN:
      OnTrackResize(point);
      break;
    case MM_PREPARE_EDIT:
    case MM_PREPARE_DRAG:
      m_MouseMode = MM_PREPARE_DRAG;
      StartCellDrag();
      break;
    default:
      break;
  }
  m_LastMousePoint = point;
}

// The cursor the platform would ask for on the last mouse position.
void CGridCtrl::UpdateHoverCursor() {
  if (m_MouseMode == MM_OVER_ROW_EDGE) {
    ShowCursor(Qt::SizeVerCursor);
  } else if (m_MouseMode == MM_OVER_COLUMN_EDGE) {
    ShowCursor(Qt::SizeHorCursor);
  } else if (m_MouseMode != MM_DRAGGING) {
    const CCellID cell = HitTestCell(m_LastMousePoint, true);
    CGridCellBase* item = GetCell(cell.row, cell.col);
    if (!item || !item->OnSetCursor()) ShowCursor(Qt::ArrowCursor);
  }
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLeftButtonUp(event->position().toPoint());
  if (event->button() == Qt::RightButton) OnRightButtonUp(event->position().toPoint());
}

void CGridCtrl::OnLeftButtonUp(QPoint point) {
  m_bLMouseButtonDown = false;
  StopAutoScroll();
  const QPoint relative = PointRelativeToCell(m_idCurrentCell.row, m_idCurrentCell.col, point);
  CGridCellBase* focusCell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col);
  const CCellID down = m_LeftClickDownCell;
  switch (m_MouseMode) {
    case MM_PREPARE_EDIT:
      BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, relative, VK_LBUTTON);
      break;
    case MM_PREPARE_DRAG:
      if (focusCell) focusCell->OnClick(relative);
      NotifyParent(down.row, down.col, NM_CLICK);
      NotifyParent(down.row, down.col, GN_SELCHANGING);
      ClearSelection();
      NotifyParent(m_idCurrentCell.row, m_idCurrentCell.col, GN_SELCHANGED);
      break;
    case MM_SIZE_COLUMN:
    case MM_SIZE_ROW:
      OnEndResize(point);
      break;
    default:
      NotifyParent(m_idCurrentCell.row, m_idCurrentCell.col, GN_SELCHANGED);
      if (focusCell) focusCell->OnClick(relative);
      NotifyParent(down.row, down.col, NM_CLICK);
      break;
  }
  m_MouseMode = MM_IDLE;
  ShowCursor(Qt::ArrowCursor);
  if (IsValid(down)) PostClickCommand();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint point = event->position().toPoint();
  const CCellID cell = HitTestCell(point, true);
  if (!IsValid(cell) || FitDividerAt(point)) return;
  if (m_MouseMode == MM_IDLE) {
    const QPoint relative = PointRelativeToCell(cell.row, cell.col, point);
    const bool fixed = cell.row < m_nFixedRows || cell.col < m_nFixedCols;
    if (!fixed && IsValid(m_LeftClickDownCell) && InTextArea(cell, point))
      BeginCellEdit(cell.row, cell.col, relative, VK_LBUTTON);
    if (CGridCellBase* item = GetCell(cell.row, cell.col)) item->OnDblClick(relative);
    NotifyParent(cell.row, cell.col, NM_DBLCLK);
  }
}

void CGridCtrl::OnRightButtonUp(QPoint point) {
  const CCellID cell = HitTestCell(point, true);
  StopEditing();
  if (!IsValid(cell)) {
    NotifyParent(-1, -1, NM_RCLICK);
    return;
  }
  SetFocusCell(-1, -1);
  SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
  if (CGridCellBase* item = GetCell(cell.row, cell.col)) item->OnRClick(PointRelativeToCell(cell.row, cell.col, point));
  NotifyParent(cell.row, cell.col, NM_RCLICK);
}

void CGridCtrl::OnAutoScrollTimer() {
  const GdiRect client = GetClientRect();
  const int fixedHeight = GetFixedRowHeight(), fixedWidth = GetFixedColumnWidth();
  const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
  const QPoint point = m_ptCursor;
  auto clampX = [&](int x) { return std::clamp(x, client.left, client.right); };
  auto clampY = [&](int y) { return std::clamp(y, client.top, client.bottom); };
  if (point.y() > client.bottom) {
    OnKeyDown(VK_DOWN, modifiers);
    ExtendSelection(HitTestCell(QPoint(clampX(point.x()), client.bottom), true));
  } else if (point.y() < fixedHeight) {
    OnKeyDown(VK_UP, modifiers);
    ExtendSelection(HitTestCell(QPoint(clampX(point.x()), fixedHeight + 1), true));
  }
  if (point.x() > client.right) {
    OnKeyDown(VK_RIGHT, modifiers);
    ExtendSelection(HitTestCell(QPoint(client.right, clampY(point.y())), true));
  } else if (point.x() < fixedWidth) {
    OnKeyDown(VK_LEFT, modifiers);
    ExtendSelection(HitTestCell(QPoint(fixedWidth + 1, clampY(point.y())), true));
  }
}

}  // namespace kelvanor
