#include "settings/options_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/gbk.h"
#include "settings/sound_file_picker.h"

namespace kelvanor {
namespace {

constexpr int kDefaultMetricsPort = 9464;  // offered when the option is first turned on
constexpr int kDefaultSlowMs = 500;

}  // namespace

COptionsDialog::COptionsDialog(const MonitorOptions& options, bool trayAvailable, QWidget* parent)
    : QDialog(parent), m_Options(options), m_bTrayAvailable(trayAvailable) {
  CreateControls();
  m_spinFailures.setValue(options.failuresBeforeAlarm);
  m_chkRecoverySound.setChecked(options.recoverySound);
  ShowRecoveryFile(options.recoveryFile);
  m_chkTrayIcon.setChecked(options.trayIcon);
  m_chkNotifications.setChecked(options.notifications);
  m_chkEventLog.setChecked(options.eventLog);
  m_chkSlow.setChecked(options.slowAfter.count() != 0);
  if (options.slowAfter.count() != 0) m_spinSlowMs.setValue(static_cast<int>(options.slowAfter.count()));
  m_chkMetrics.setChecked(options.metricsPort != 0);
  if (options.metricsPort != 0) m_spinMetricsPort.setValue(options.metricsPort);
  m_chkIpv6Names.setChecked(options.ipv6Names);
  UpdateEnabled();
}

void COptionsDialog::CreateControls() {
  setWindowTitle(QStringLiteral("选项"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  m_spinFailures.setRange(MonitorOptions::kMinFailuresBeforeAlarm, MonitorOptions::kMaxFailuresBeforeAlarm);
  m_chkRecoverySound.setText(QStringLiteral("恢复时播放提示音"));
  m_editRecoveryFile.setReadOnly(true);
  m_editRecoveryFile.setPlaceholderText(QStringLiteral("内置提示音"));
  m_btnBrowse.setText(QStringLiteral("选择文件…"));
  m_btnBuiltInTone.setText(QStringLiteral("内置提示音"));
  m_chkTrayIcon.setText(QStringLiteral("托盘图标"));
  m_chkNotifications.setText(QStringLiteral("桌面通知"));
  m_chkEventLog.setText(QStringLiteral("事件日志 (kelvanor-events.csv)"));
  m_chkSlow.setText(QStringLiteral("近 5 次连接耗时中位数超过"));
  m_spinSlowMs.setRange(1, static_cast<int>(MonitorOptions::kMaxSlowAfter.count()));
  m_spinSlowMs.setSuffix(QStringLiteral(" ms 时标为黄色"));
  m_spinSlowMs.setValue(kDefaultSlowMs);
  m_chkMetrics.setText(QStringLiteral("Prometheus 指标 (http://127.0.0.1:端口/metrics)"));
  m_spinMetricsPort.setRange(1, 65535);
  m_spinMetricsPort.setValue(kDefaultMetricsPort);
  m_chkIpv6Names.setText(QStringLiteral("地址族为自动的主机名也连接其 IPv6 地址 (RFC 8305)"));
  m_Buttons.setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  m_Buttons.button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  m_Buttons.button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
  if (!m_bTrayAvailable) m_chkTrayIcon.setToolTip(QStringLiteral("桌面没有系统托盘"));

  auto* failures = new QHBoxLayout;
  failures->addWidget(new QLabel(QStringLiteral("连续失败")));
  failures->addWidget(&m_spinFailures);
  failures->addWidget(new QLabel(QStringLiteral("次后才报警")));
  failures->addStretch();
  auto* recoveryFile = new QHBoxLayout;
  recoveryFile->addSpacing(20);
  recoveryFile->addWidget(&m_editRecoveryFile, 1);
  recoveryFile->addWidget(&m_btnBrowse);
  recoveryFile->addWidget(&m_btnBuiltInTone);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(failures);
  layout->addWidget(&m_chkRecoverySound);
  layout->addLayout(recoveryFile);
  layout->addWidget(&m_chkTrayIcon);
  layout->addWidget(&m_chkNotifications);
  layout->addWidget(&m_chkEventLog);
  auto* slow = new QHBoxLayout;
  slow->addWidget(&m_chkSlow);
  slow->addWidget(&m_spinSlowMs);
  slow->addStretch();
  layout->addLayout(slow);
  auto* metrics = new QHBoxLayout;
  metrics->addWidget(&m_chkMetrics);
  metrics->addWidget(&m_spinMetricsPort);
  metrics->addStretch();
  layout->addLayout(metrics);
  layout->addWidget(&m_chkIpv6Names);
  layout->addWidget(&m_Buttons);

  connect(&m_chkRecoverySound, &QCheckBox::toggled, this, &COptionsDialog::UpdateEnabled);
  connect(&m_chkTrayIcon, &QCheckBox::toggled, this, &COptionsDialog::UpdateEnabled);
  connect(&m_chkMetrics, &QCheckBox::toggled, this, &COptionsDialog::UpdateEnabled);
  connect(&m_chkSlow, &QCheckBox::toggled, this, &COptionsDialog::UpdateEnabled);
  connect(&m_btnBrowse, &QPushButton::clicked, this, &COptionsDialog::OnBrowseRecoveryFile);
  connect(&m_btnBuiltInTone, &QPushButton::clicked, this, [this] { ShowRecoveryFile({}); });
  connect(&m_Buttons, &QDialogButtonBox::accepted, this, &COptionsDialog::accept);
  connect(&m_Buttons, &QDialogButtonBox::rejected, this, &COptionsDialog::reject);
}

// Notifications are shown through the tray icon, so they need it turned on.
void COptionsDialog::UpdateEnabled() {
  const bool recovery = m_chkRecoverySound.isChecked();
  m_editRecoveryFile.setEnabled(recovery);
  m_btnBrowse.setEnabled(recovery);
  m_btnBuiltInTone.setEnabled(recovery && !m_RecoveryFile.empty());
  m_chkTrayIcon.setEnabled(m_bTrayAvailable);
  m_chkNotifications.setEnabled(m_bTrayAvailable && m_chkTrayIcon.isChecked());
  m_spinMetricsPort.setEnabled(m_chkMetrics.isChecked());
  m_spinSlowMs.setEnabled(m_chkSlow.isChecked());
}

void COptionsDialog::OnBrowseRecoveryFile() {
  if (std::optional<std::string> path = PickGbkSoundFile(this)) ShowRecoveryFile(std::move(*path));
}

void COptionsDialog::ShowRecoveryFile(std::string path) {
  m_RecoveryFile = std::move(path);
  m_editRecoveryFile.setText(GbkToQString(m_RecoveryFile));
  UpdateEnabled();
}

void COptionsDialog::accept() {
  m_Options.failuresBeforeAlarm = m_spinFailures.value();
  m_Options.recoverySound = m_chkRecoverySound.isChecked();
  m_Options.recoveryFile = m_RecoveryFile;
  m_Options.trayIcon = m_chkTrayIcon.isChecked();
  m_Options.notifications = m_chkNotifications.isChecked();
  m_Options.eventLog = m_chkEventLog.isChecked();
  m_Options.slowAfter = std::chrono::milliseconds(m_chkSlow.isChecked() ? m_spinSlowMs.value() : 0);
  m_Options.metricsPort = static_cast<std::uint16_t>(m_chkMetrics.isChecked() ? m_spinMetricsPort.value() : 0);
  m_Options.ipv6Names = m_chkIpv6Names.isChecked();
  QDialog::accept();
}

}  // namespace kelvanor
