// The grid's side of title tips: which text, where, and in which colours the tip is
// offered for the cell under a resting pointer.
#include <QCursor>
#include <QMouseEvent>

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
  if (!m_TitleTip.IsCreated()) m_TitleTip.Create(viewport());
  m_TitleTip.ShowTip(textRect, item->GetTitleTipText(), 0, &cellRect, item->GetFont(), m_crTTipFgClr,
                     m_crTTipBackClr);
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
