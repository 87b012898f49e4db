// The grid's side of title tips: which text, where, and in which colours the tip is
// offered for the cell under a resting pointer.
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

}  // namespace kelvanor
