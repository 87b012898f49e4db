// Dragging CGridCtrl's selected cells out as text, and the grid's answers as a drop target.
#include <QDrag>
#include <QMimeData>
#include <QPointer>
#include <memory>

#include "grid/clipboard_text.h"
#include "grid/grid_ctrl.h"
#include "grid/grid_drop_target.h"

namespace kelvanor {

namespace {
Qt::DropAction CopyOrMove(Qt::KeyboardModifiers keys) {
  return keys & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction;
}
}  // namespace

void CGridCtrl::RegisterDropTarget() {
  if (!m_pDropTarget) m_pDropTarget = new CGridDropTarget(this);
  m_pDropTarget->Register(this);
}

Qt::DropAction CGridCtrl::RunDragLoop(QMimeData* data, Qt::DropActions allowed) {
  if (m_DragLoop) return m_DragLoop(data, allowed);
  const QPointer<QDrag> drag = new QDrag(viewport());
  drag->setMimeData(data);
  const Qt::DropAction effect = drag->exec(allowed);
  if (drag) drag->deleteLater();
  return effect;
}

void CGridCtrl::StartCellDrag() {
  if (!m_bAllowDragAndDrop) return;
  std::unique_ptr<QMimeData> data(CopySelection());
  if (!data) return;
  const CCellBlock range = GetSelectedCellRange();
  NotifyParent(range.minRow, range.minCol, GN_BEGINDRAG);
  m_MouseMode = MM_DRAGGING;
  m_bLMouseButtonDown = false;
  // The platform's drag owns the data while it runs and frees it afterwards.
  const Qt::DropAction effect = RunDragLoop(data.release(), Qt::CopyAction | Qt::MoveAction);
  // The drag loop had the mouse: whatever ended it, this grid's drag is over.
  if (m_MouseMode == MM_DRAGGING) m_MouseMode = MM_IDLE;
  if (effect == Qt::MoveAction) CutSelection();
}

void CGridCtrl::SetDropHighlight(CCellID cell, bool on) {
  if (!IsValid(cell)) return;
  const std::uint32_t state = GetItemState(cell.row, cell.col);
  SetItemState(cell.row, cell.col, on ? state | CELL_DROPHILITED : state & ~CELL_DROPHILITED);
  RedrawCell(cell.row, cell.col);
}

Qt::DropAction CGridCtrl::OnDragEnter(const QMimeData* data, Qt::KeyboardModifiers keys, QPoint point) {
  const CCellID cell = HitTestCell(point, false);
  m_LastDragOverCell = cell;
  if (!m_bAllowDragAndDrop || !HasClipboardText(data) || !IsValid(cell) || !IsCellEditable(cell))
    return Qt::IgnoreAction;
  SetDropHighlight(cell, true);
  return CopyOrMove(keys);
}

Qt::DropAction CGridCtrl::OnDragOver(const QMimeData* /*data*/, Qt::KeyboardModifiers keys, QPoint point) {
  const CCellID cell = HitTestCell(point, false);
  if (cell.col < m_nFixedCols || cell.row < m_nFixedRows) {
    OnDragLeave();
    m_LastDragOverCell = CCellID();
    return Qt::IgnoreAction;
  }
  if (cell != m_LastDragOverCell) {
    SetDropHighlight(m_LastDragOverCell, false);
    m_LastDragOverCell = cell;
    SetDropHighlight(cell, true);
  }
  return CopyOrMove(keys);
}

void CGridCtrl::OnDragLeave() { SetDropHighlight(m_LastDragOverCell, false); }

bool CGridCtrl::OnDrop(const QMimeData* /*data*/, Qt::DropAction /*effect*/, QPoint /*point*/) {
  m_MouseMode = MM_IDLE;
  OnDragLeave();
  if (!m_bAllowDragAndDrop) return false;
  viewport()->update();
  return true;
}

}  // namespace kelvanor
