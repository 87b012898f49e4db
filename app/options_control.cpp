#include "app/options_control.h"

#include <QAction>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/status_indicators.h"
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "platform/socket_address.h"
#include "settings/options_dialog.h"
#include "settings/setting_file.h"
#include "settings/setting_file_guard.h"

namespace kelvanor {

OptionsControl::OptionsControl(CMainFrame& frame, CKelvanorView& view) : QObject(&frame), frame_(frame), view_(view) {
  notifyTimer_.setSingleShot(true);
  notifyTimer_.setInterval(kNotificationWait);
  connect(&notifyTimer_, &QTimer::timeout, this, [this] {
    if (tray_) tray_->FlushNotifications();
  });
  connect(frame.Action(ID_OPTIONS), &QAction::triggered, this, &OptionsControl::Edit);
  connect(&view, &CKelvanorView::CountsChanged, this, &OptionsControl::ShowCounts);
  connect(&view, &CKelvanorView::EndpointChanged, this, &OptionsControl::OnEndpointChanged);
  connect(&view, &CKelvanorView::SlownessChanged, this, &OptionsControl::OnSlownessChanged);
  // The reason names the log and the system's own words, and stays until a write succeeds.
  connect(&view, &CKelvanorView::EventLogFailed, frame.Indicators(), &StatusIndicators::SetNotice);
  connect(&view, &CKelvanorView::EventLogRecovered, frame.Indicators(), [&frame] { frame.Indicators()->SetNotice({}); });
}

OptionsControl::~OptionsControl() = default;

void OptionsControl::Edit() {
  COptionsDialog dialog(view_.Setting().options, TrayPresence::Available(), &frame_);
  if (dialog.exec() != QDialog::Accepted) return;
  view_.Setting().options = dialog.Options();
  // In effect for this run even when the file cannot take them (the operator is told) or
  // the operator keeps a file that did not load.
  if (MayReplaceSettingFile(view_.Setting(), &frame_) && SaveSetting(view_.Setting()) < 0)
    ShowMessageBox(&frame_, Gbk(u8"保存设置失败！"), "", MessageIcon::Warning);
  Apply();
}

void OptionsControl::Apply() {
  view_.ApplyOptions();
  if (!view_.Setting().options.eventLog) frame_.Indicators()->SetNotice({});  // a log no longer kept
  const bool tray = view_.Setting().options.trayIcon && TrayPresence::Available();
  frame_.SetHideOnClose(tray);
  if (!tray) {
    tray_.reset();
    return;
  }
  if (tray_) return;
  tray_ = std::make_unique<TrayPresence>();
  connect(tray_.get(), &TrayPresence::Clicked, this, [this] {
    if (frame_.isVisible()) return frame_.hide();
    frame_.show();
    frame_.raise();
    frame_.activateWindow();
  });
  ShowCounts();
  tray_->Show();
}

void OptionsControl::ShowCounts() {
  if (!tray_) return;
  const OutcomeCounts& counts = view_.Counts();
  tray_->SetCounts(static_cast<int>(counts.connected), static_cast<int>(counts.failed),
                   static_cast<int>(counts.unchecked));
}

void OptionsControl::OnEndpointChanged(std::size_t index, bool wasFailed, bool nowFailed) {
  if (wasFailed || nowFailed) Notify(index, nowFailed, false);
}

// Turning slow is news; getting back to the usual speed is not.
void OptionsControl::OnSlownessChanged(std::size_t index, bool slow) {
  if (slow) Notify(index, false, true);
}

void OptionsControl::Notify(std::size_t index, bool nowFailed, bool slow) {
  if (!tray_ || !view_.Setting().options.notifications) return;
  // Named only here: most changes (the whole first cycle) are never notified.
  const IPInfo& entry = view_.Setting().ipList.at(index);
  tray_->NoteChange(nowFailed, GbkToQString(EndpointText(entry.ip, entry.port)), slow);
  if (!notifyTimer_.isActive()) notifyTimer_.start();
}

}  // namespace kelvanor
