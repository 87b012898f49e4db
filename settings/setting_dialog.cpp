#include "settings/setting_dialog.h"

#include "platform/gbk.h"
#include "platform/message_box.h"
#include "settings/address_mode_text.h"
#include "settings/int_scan.h"
#include "settings/interval_text.h"
#include "settings/setting_file.h"
#include "settings/setting_file_guard.h"

namespace kelvanor {

CSettingDialog::CSettingDialog(SettingData* setting, QWidget* parent)
    : QDialog(parent),
      m_Grid(this, 0, 0, 0, 0),
      m_cbSound(this),
      m_pSetting(setting),
      m_nRefreshTime(setting->refreshTime),
      m_btnOk(this),
      m_btnCancel(this),
      m_btnAdd(this),
      m_btnDelete(this),
      m_btnUp(this),
      m_btnDown(this),
      m_grpEndpoints(this),
      m_grpOther(this),
      m_editRefresh(this),
      m_lblInterval(this),
      m_lblSeconds(this),
      m_lblSound(this) {
  CreateControls();
  connect(&m_btnOk, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(&m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(&m_btnAdd, &QPushButton::clicked, this, [this] { OnBnClickedAdd(); });
  connect(&m_btnDelete, &QPushButton::clicked, this, [this] { OnBnClickedDelete(); });
  connect(&m_btnUp, &QPushButton::clicked, this, [this] { OnBnClickedUp(); });
  connect(&m_btnDown, &QPushButton::clicked, this, [this] { OnBnClickedDown(); });
  // Only the operator's choices, as with the combo box's selection-change notification.
  connect(&m_cbSound, &QComboBox::activated, this, [this](int index) { OnCbnSelchangeSound(index); });
  m_Grid.installEventFilter(this);
}

int CSettingDialog::DoModal() { return exec() == QDialog::Accepted ? kIdOk : kIdCancel; }

QWidget* CSettingDialog::GetDlgItem(int id) const {
  const auto found = m_Controls.find(id);
  return found == m_Controls.end() ? nullptr : found->second;
}

void CSettingDialog::showEvent(QShowEvent* event) {
  // The dialog is initialised once, when it first appears, like WM_INITDIALOG.
  if (!m_bInitialized) {
    m_bInitialized = true;
    if (OnInitDialog()) m_btnOk.setFocus();  // the first control in tab order
  }
  QDialog::showEvent(event);
}

bool CSettingDialog::DoDataExchange(bool saveAndValidate) {
  if (!saveAndValidate) {
    m_editRefresh.setText(QString::number(m_nRefreshTime));
    return true;
  }
  const IntervalText interval = ParseIntervalText(QStringToGbk(m_editRefresh.text()));
  if (interval.status != IntervalText::Ok) {
    ShowMessageBox(this,
                   interval.status == IntervalText::NotInteger
                       ? Gbk(u8"请输入一个整数。")
                       : Gbk(u8"请输入一个介于 -2147483648 和 2147483647 之间的整数。"),
                   "", MessageIcon::Warning);
    m_editRefresh.setFocus();
    m_editRefresh.selectAll();
    return false;
  }
  m_nRefreshTime = interval.value;
  return true;
}

bool CSettingDialog::OnInitDialog() {
  DoDataExchange(false);
  InitGridCtrl();
  FillGridRows();
  DoDataExchange(false);
  ShowSoundChoice();
  m_Opened = TakeSnapshot();
  return true;
}

void CSettingDialog::OnOK() {
  if (!DoDataExchange(true) || !CheckRows() || !MayReplaceSettingFile(*m_pSetting, this)) return;
  m_pSetting->refreshTime = m_nRefreshTime;
  m_pSetting->Clear();
  for (int row = 1; row < m_Grid.GetRowCount(); ++row) {
    std::string ip = m_Grid.GetItemText(row, 1);
    if (ip.empty()) continue;
    // CheckRows vouched for the port and the mode.
    const std::uint16_t port = *ParsePort(m_Grid.GetItemText(row, 2));
    IPInfo entry(std::move(ip), port, m_Grid.GetItemText(row, 3));
    entry.addressMode = *ModeOfCellText(m_Grid.GetItemText(row, kModeColumn));
    m_pSetting->Append(std::move(entry));
  }
  m_pSetting->soundType = m_cbSound.currentIndex();
  if (SaveSetting(*m_pSetting) < 0) {
    ShowMessageBox(this, Gbk(u8"保存设置失败！"), "", MessageIcon::Warning);
    return;
  }
  accept();
}

bool CSettingDialog::CheckRows(int firstRow) {
  for (int row = firstRow; row < m_Grid.GetRowCount(); ++row) {
    if (m_Grid.GetItemText(row, 1).empty()) continue;
    // Typed text that is no port would otherwise be stored as some other number.
    const bool portRead = ParsePort(m_Grid.GetItemText(row, 2)).has_value();
    if (portRead && ModeOfCellText(m_Grid.GetItemText(row, kModeColumn))) continue;
    const char8_t* problem = portRead ? u8"行的地址族无效，请输入 自动、IPv4、IPv6 或 双栈。"
                                      : u8"行的端口无效，请输入 1 到 65535 之间的整数。";
    ShowMessageBox(this, Gbk(u8"第") + std::to_string(row) + Gbk(problem), "", MessageIcon::Warning);
    FocusGridCell(row, portRead ? kModeColumn : 2);
    return false;
  }
  return true;
}

}  // namespace kelvanor
