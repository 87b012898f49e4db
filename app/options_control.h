#pragma once
// The 选项 menu's options dialog and what the options turn on outside the view: the tray
// icon with its notifications, and the event log's failures in the status bar.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <memory>

#include "app/tray_presence.h"

namespace kelvanor {

class CKelvanorView;
class CMainFrame;

class OptionsControl : public QObject {
  Q_OBJECT
 public:
  // Changes a cycle brings within this time make one notification.
  static constexpr std::chrono::seconds kNotificationWait{1};

  OptionsControl(CMainFrame& frame, CKelvanorView& view);
  ~OptionsControl() override;

  // The options dialog; OK stores the options in setting.xml and puts them into effect.
  void Edit();
  // Puts the view's options into effect.
  void Apply();
  TrayPresence* Tray() const { return tray_.get(); }

 private:
  void OnEndpointChanged(std::size_t index, bool wasFailed, bool nowFailed);
  void OnSlownessChanged(std::size_t index, bool slow);
  void Notify(std::size_t index, bool nowFailed, bool slow);
  void ShowCounts();

  CMainFrame& frame_;
  CKelvanorView& view_;
  std::unique_ptr<TrayPresence> tray_;  // while the option is on and the desktop has a tray
  QTimer notifyTimer_;
};

}  // namespace kelvanor
