// Pasting a list of endpoints into the settings dialog: one new row per endpoint after the
// last row, whatever cell has the focus, so that no row is ever overwritten.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include "grid/clipboard_text.h"
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "settings/address_mode_text.h"
#include "settings/endpoint_lines.h"
#include "settings/setting_dialog.h"

namespace kelvanor {

bool CSettingDialog::eventFilter(QObject* watched, QEvent* event) {
  // An open cell editor is a child of the grid and takes its own pastes.
  if (watched == &m_Grid && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) && PasteEndpointList())
    return true;
  return QDialog::eventFilter(watched, event);
}

bool CSettingDialog::PasteEndpointList() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!HasClipboardText(data)) return false;
  const std::string text = ClipboardGbkText(data);
  if (!IsEndpointList(text)) return false;
  const EndpointLines list = ReadEndpointLines(text);
  const int firstRow = m_Grid.GetRowCount();
  for (const EndpointLine& endpoint : list.endpoints) {
    const int row = m_Grid.InsertRow("");
    m_Grid.SetItemText(row, 1, endpoint.ip);
    m_Grid.SetItemText(row, 2, endpoint.port);
    m_Grid.SetItemText(row, 3, endpoint.remark);
    m_Grid.SetItemText(row, kModeColumn, ModeCellText(*ModeOfCellText(endpoint.mode)));  // read as valid
  }
  NumberRows();
  if (!list.endpoints.empty()) m_Grid.EnsureVisible(m_Grid.GetRowCount() - 1, 1);
  m_Grid.Refresh();
  if (!list.unreadLines.empty()) {
    std::string numbers;
    for (const int line : list.unreadLines) numbers += (numbers.empty() ? "" : Gbk(u8"、")) + std::to_string(line);
    ShowMessageBox(this, Gbk(u8"第 ") + numbers + Gbk(u8" 行读不出地址和端口，未添加。"), "",
                   MessageIcon::Warning);
  }
  // A pasted port out of range is named, its cell focused, as OK names a typed one.
  CheckRows(firstRow);
  return true;
}

}  // namespace kelvanor
