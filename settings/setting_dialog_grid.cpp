// The endpoint grid of the settings dialog: its set-up, its rows, and the add, delete
// and move buttons.
#include <string>

#include "platform/gbk.h"
#include "platform/message_box.h"
#include "settings/address_mode_text.h"
#include "settings/setting_dialog.h"

namespace kelvanor {
namespace {

struct GridColumn {
  const char8_t* header;
  int width;
};
// 备注 gave the address mode room: the columns still fill the grid's width.
constexpr GridColumn kColumns[] = {
    {u8"ID", 35}, {u8"IP", 135}, {u8"端口", 65}, {u8"备注", 170}, {u8"地址族", 60}};

// The state bits given to a cell whose row moved away: every meaningful bit cleared.
constexpr std::uint32_t kMovedAwayState = 0x0F00;

}  // namespace

void CSettingDialog::InitGridCtrl() {
  m_Grid.EnableDragAndDrop(false);
  m_Grid.SetGridLines(GVL_BOTH);
  m_Grid.SetSortOnHeaderClick(false);
  m_Grid.EnableSelection(true);
  m_Grid.SetSingleRowSelection(true);
  m_Grid.SetEditable(true);
  m_Grid.SetColumnResize(true);
  m_Grid.SetRowResize(true);
  m_Grid.SetHeaderClickSelectsColumn(false);
  m_Grid.SetFocusHeaderTracking(false);
  m_Grid.SetFixedRowCount(1);
  m_Grid.SetFixedColumnCount(1);
  m_Grid.SetRowCount(1);
  m_Grid.SetColumnCount(static_cast<int>(std::size(kColumns)));
  for (int col = 0; col < static_cast<int>(std::size(kColumns)); ++col) {
    GRIDITEM item;
    item.row = 0;
    item.col = col;
    item.mask = GIF_TEXT | GIF_FORMAT;
    item.nFormat = DT_WORDBREAK;
    item.strText = Gbk(kColumns[col].header);
    m_Grid.SetItem(&item);
    m_Grid.SetColumnWidth(col, kColumns[col].width);
  }
}

void CSettingDialog::FillGridRows() {
  for (const IPInfo& entry : m_pSetting->ipList) {
    const int row = m_Grid.InsertRow(std::to_string(m_Grid.GetRowCount()));
    m_Grid.SetItemText(row, 1, entry.ip);
    m_Grid.SetItemText(row, 2, std::to_string(entry.port));
    m_Grid.SetItemText(row, 3, entry.remark);
    m_Grid.SetItemText(row, kModeColumn, ModeCellText(entry.addressMode));
  }
}

void CSettingDialog::OnBnClickedAdd() {
  m_Grid.InsertRow("");
  const int row = m_Grid.GetRowCount() - 1;
  m_Grid.SetItemText(row, 0, std::to_string(row));
  m_Grid.SetItemText(row, kModeColumn, ModeCellText(AddressMode::Auto));
  m_Grid.RedrawRow(row);
  FocusGridCell(row, 1);  // the new endpoint's address comes first
}

void CSettingDialog::FocusGridCell(int row, int col) {
  m_Grid.setFocus();
  m_Grid.SetFocusCell(row, col);
  m_Grid.SetSelectionStartCell(CCellID(row, col));
  m_Grid.SetSelectedRange(row, col, row, col, true);
  m_Grid.EnsureVisible(row, col);
}

void CSettingDialog::OnBnClickedDelete() {
  if (m_Grid.GetSelectedCount() > 0) {
    // Only the topmost selected row goes; the rows below it move up a number.
    const int row = m_Grid.GetSelectedCellRange().minRow;
    if (row < 1 || row >= m_Grid.GetRowCount()) return;
    m_Grid.DeleteRow(row);
    NumberRows();
  }
  m_Grid.Refresh();
}

void CSettingDialog::NumberRows() {
  for (int row = 1; row < m_Grid.GetRowCount(); ++row) m_Grid.SetItemText(row, 0, std::to_string(row));
}

void CSettingDialog::MoveSelectedRow(int step) {
  const CCellBlock selection = m_Grid.GetSelectedCellRange();
  const int row = selection.minRow;
  const int touched = selection.maxRow - row + 1;
  const int dataRows = m_Grid.GetRowCount() - 1;
  // Nothing selected, or every data row: there is nowhere to move to.
  if (touched < 1 || touched >= dataRows) return;
  if (touched != 1) {
    ShowMessageBox(this, Gbk(u8"请选择单行移动！"), "", MessageIcon::Warning);
    return;
  }
  if (step < 0 && row == 1) {
    ShowMessageBox(this, Gbk(u8"第一行不可上移！"), "", MessageIcon::Warning);
    return;
  }
  if (step > 0 && row == dataRows) {
    ShowMessageBox(this, Gbk(u8"最后一行不可下移！"), "", MessageIcon::Warning);
    return;
  }
  const int partner = row + step;
  for (int col = 1; col <= kModeColumn; ++col) {
    const std::string moving = m_Grid.GetItemText(row, col);
    const std::string other = m_Grid.GetItemText(partner, col);
    m_Grid.SetItemText(row, col, other);
    m_Grid.SetItemText(partner, col, moving);
  }
  // The selection travels with the moved row; the grid's own focus cell stays put.
  for (int col = 1; col <= kModeColumn; ++col) {
    if (!m_Grid.IsCellSelected(row, col)) continue;
    m_Grid.SetItemState(row, col, kMovedAwayState);
    m_Grid.SetItemState(partner, col, CELL_FOCUSED | CELL_SELECTED);
  }
  m_Grid.Refresh();
}

}  // namespace kelvanor
