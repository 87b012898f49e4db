// The grid's side of title tips: which text, where, and in which colours the tip is
// offered for the cell under a resting pointer.
#include <QCursor>
#include <QMouseEvent>
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

void CGridCtrl::OfferTitleTip(QPoint point) {
  const CCellID cell = HitTestCell(point, true);
  CGridCellBase* item = GetCell(cell.row, cell.col);
  GdiRect cellRect;
  if (!item || item->GetTitleTipText().empty() || item->IsEditing() || !GetCellRect(cell.row, cell.col, &cellRect))
    return;
  GdiRect textRect = cellRect;
  if (!item->GetTitleTipRect(textRect)) return;
  // The tip covers the text rectangle but for its last line, the cell's grid line, and goes
  // once the pointer is off it: offered there, it would come back with every move.
  if (!textRect.ToQRect().adjusted(0, 0, 1, 0).contains(point)) return;
  // Beyond the viewport the pointer is over other controls, however far the cell goes on.
  const GdiRect client = GetClientRect();
  GdiRect shown = cellRect;
  shown.right = std::min(shown.right, client.right - 1);
  shown.bottom = std::min(shown.bottom, client.bottom - 1);
  if (!m_TitleTip.IsCreated()) m_TitleTip.Create(viewport());
  m_TitleTip.ShowTip(textRect, item->GetTitleTipText(), 0, &shown, item->GetFont(), m_crTTipFgClr, m_crTTipBackClr);
}

// The tip holds no pointer, so the grid tells it where the pointer went; it may leave the
// grid without one more move inside it.
bool CGridCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) m_TitleTip.PointerMovedTo(QCursor::pos());
  if (event->type() == QEvent::MouseMove)
    m_TitleTip.PointerMovedTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
  return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace kelvanor
