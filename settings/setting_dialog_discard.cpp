// Leaving the settings dialog without OK: the operator is asked before edits to the
// endpoints, the interval or the alarm are thrown away.
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "settings/setting_dialog.h"

namespace kelvanor {

CSettingDialog::Snapshot CSettingDialog::TakeSnapshot() const {
  Snapshot snapshot{{}, m_editRefresh.text(), m_pSetting->soundType, m_pSetting->soundFile};
  // The rows OK would keep; an added row still without an IP changes nothing.
  for (int row = 1; row < m_Grid.GetRowCount(); ++row) {
    if (m_Grid.GetItemText(row, 1).empty()) continue;
    snapshot.endpoints.push_back(m_Grid.GetItemText(row, 1) + '\t' + m_Grid.GetItemText(row, 2) + '\t' +
                                 m_Grid.GetItemText(row, 3) + '\t' + m_Grid.GetItemText(row, kModeColumn));
  }
  return snapshot;
}

void CSettingDialog::reject() {
  // 否, the default, goes back to editing.
  if (m_bInitialized && !(TakeSnapshot() == m_Opened) &&
      ShowMessageBox(this, Gbk(u8"放弃修改？"), "", MessageIcon::Question, MessageButtons::YesNo) != kIdYes)
    return;
  QDialog::reject();
}

}  // namespace kelvanor
