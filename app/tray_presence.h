#pragma once
// The program's icon in the desktop's tray: a dot coloured by the worst last outcome, the
// counts in its tool tip, and one notification per probe cycle for the endpoints that
// failed or answered again.
#include <QIcon>
#include <QObject>
#include <QRgb>
#include <QString>
#include <QSystemTrayIcon>
#include <optional>
#include <vector>

namespace kelvanor {

struct EndpointChange {
  bool nowFailed;  // changed to Failed; otherwise back to Connected, or slow
  QString endpointText;
  bool slow = false;  // turned slow
};

// The notification for a cycle's changes: a single change names its endpoint
// ("127.0.0.1:80 异常", "127.0.0.1:80 已恢复", "127.0.0.1:80 变慢"); several are counted,
// one line per kind ("12 个端点异常", "3 个端点已恢复", "2 个端点变慢"). Empty when nothing
// changed.
QString ChangesMessage(const std::vector<EndpointChange>& changes);

class TrayPresence : public QObject {
  Q_OBJECT
 public:
  // Whether the desktop has a tray to show the icon in.
  static bool Available();

  explicit TrayPresence(QObject* parent = nullptr);

  void Show();
  void Hide();
  // Red when any endpoint failed, else grey while any is unchecked or there is none,
  // else green; the tool tip reads "Kelvanor\n正常 182  异常 3  未检测 15".
  void SetCounts(int connected, int failed, int unchecked);
  QIcon Icon() const;
  QString ToolTip() const;

  // Collects one endpoint's change during a cycle...
  void NoteChange(bool nowFailed, const QString& endpointText, bool slow = false);
  // ...and at the cycle's end shows them as one notification, returning its text (empty,
  // and nothing shown, when nothing changed).
  QString FlushNotifications();

 signals:
  // A plain click on the icon, which shows or hides the window.
  void Clicked();

 private:
  QSystemTrayIcon* icon_;
  std::optional<QRgb> shown_;  // the icon's colour; drawn again only when it changes
  std::vector<EndpointChange> changes_;
};

}  // namespace kelvanor
