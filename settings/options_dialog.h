#pragma once
// The options dialog: the choices beyond the alarm of every failure, all off until the
// operator turns them on.
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <string>

#include "monitor/options.h"

namespace kelvanor {

class COptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // Without a tray on the desktop, the tray icon and the notifications it shows cannot
  // be turned on or off; their stored values are kept for a desktop that has one.
  COptionsDialog(const MonitorOptions& options, bool trayAvailable, QWidget* parent = nullptr);

  // The options as the operator left them after OK; those the dialog was opened on
  // otherwise. What only the file keeps (inFile, unknown attributes) is always carried over.
  const MonitorOptions& Options() const { return m_Options; }

  void accept() override;

 private:
  void CreateControls();
  void UpdateEnabled();
  void OnBrowseRecoveryFile();
  void ShowRecoveryFile(std::string path);

  MonitorOptions m_Options;
  const bool m_bTrayAvailable;
  std::string m_RecoveryFile;  // GBK, as stored; the edit shows it for the eye only

  QSpinBox m_spinFailures;
  QCheckBox m_chkRecoverySound;
  QLineEdit m_editRecoveryFile;
  QPushButton m_btnBrowse;
  QPushButton m_btnBuiltInTone;
  QCheckBox m_chkTrayIcon;
  QCheckBox m_chkNotifications;
  QCheckBox m_chkEventLog;
  QCheckBox m_chkSlow;
  QSpinBox m_spinSlowMs;
  QCheckBox m_chkMetrics;
  QCheckBox m_chkIpv6Names;
  QSpinBox m_spinMetricsPort;
  QDialogButtonBox m_Buttons;
};

}  // namespace kelvanor
