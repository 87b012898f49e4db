// In-place editing on the grid's side: when an editor opens, how its result is checked,
// notified and applied, and the move to the next cell after a navigation key.
#include <QGuiApplication>

#include "grid/grid_ctrl.h"
#include "grid/in_place_edit.h"

namespace kelvanor {

bool CGridCtrl::IsCellEditable(int row, int col) const {
  return m_bEditable && !(GetItemState(row, col) & CELL_READONLY);
}

void CGridCtrl::BeginCellEdit(int row, int col, QPoint point, unsigned firstKey) {
  HideTitleTip();
  if (!IsValid(row, col) || !IsCellEditable(row, col)) return;
  EnsureVisible(row, col);
  if (!IsCellVisible(row, col)) return;
  GdiRect rect;
  if (!GetCellRect(row, col, &rect)) return;
  if (NotifyParent(row, col, GN_BEGINEDIT) < 0) return;
  if (CGridCellBase* cell = GetCell(row, col)) cell->Edit(row, col, rect, point, INPLACE_EDIT_ID, firstKey);
}

void CGridCtrl::StopEditing() {
  if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) cell->EndEdit();
}

bool CGridCtrl::VetEditText(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  return !cell || cell->VetEditText(text);
}

void CGridCtrl::CommitCellEdit(int row, int col, const std::string& text) {
  const std::string old = GetItemText(row, col);
  CGridCellBase* cell = GetCell(row, col);
  if (old != text) {
    if (cell) {
      cell->SetText(text);
      SetModified(row, col);
    }
    if (VetEditText(row, col, text) && NotifyParent(row, col, GN_ENDEDIT) >= 0) {
      SetModified(row, col);
      RedrawCell(row, col);
    } else if (cell) {
      cell->SetText(old);
      SetModified(row, col);
    }
  }
  if (cell) cell->OnEndEdit();
}

void CGridCtrl::ReplaceCellText(int row, int col, const std::string& text) {
  if (!IsCellEditable(row, col) || NotifyParent(row, col, GN_BEGINEDIT) < 0) return;
  const std::string old = GetItemText(row, col);
  if (old == text) return;
  SetItemText(row, col, text);
  if (VetEditText(row, col, text) && NotifyParent(row, col, GN_ENDEDIT) >= 0) {
    SetModified(row, col);
    RedrawCell(row, col);
  } else {
    SetItemText(row, col, old);
  }
}

int CGridCtrl::OnEndInPlaceEdit(const GridDispInfo& info) {
  CommitCellEdit(info.item.row, info.item.col, info.item.strText);
  const unsigned key = info.item.lParam;
  if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN)) {
    OnKeyDown(key, QGuiApplication::keyboardModifiers());
    BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), key);
  }
  return 0;
}

}  // namespace kelvanor
