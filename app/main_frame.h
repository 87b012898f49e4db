#pragma once
// The main window: menu, toolbar and status bar around the view, with the commands
// the view answers routed to it.
#include <QMainWindow>
#include <functional>
#include <map>

class QAction;
class QToolBar;

namespace kelvanor {

class StatusIndicators;

// What the view does for the frame's two view commands.
struct ViewCommands {
  std::function<void()> editSettings;   // ID_SETTING
  std::function<void()> refreshStatus;  // ID_REFRESH
};

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame();

  // Makes `view` the frame's one view (owned by the frame) and routes its commands.
  void SetView(QWidget* view, ViewCommands commands);
  QWidget* GetActiveView() const { return centralWidget(); }
  // The caption is the document title, " - ", then "v1.01".
  void SetDocumentTitle(const QString& title);

  QAction* Action(int commandId) const;
  // While on, closing the window hides it (the tray icon brings it back); 文件 → 退出
  // still closes it.
  void SetHideOnClose(bool hide) { hideOnClose_ = hide; }
  // 文件 → 退出: closes the window whatever closing it would do otherwise.
  bool Exit();
  QToolBar* ToolBar() const { return toolBar_; }
  StatusIndicators* Indicators() const { return indicators_; }

 signals:
  void AboutRequested();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QAction* MakeAction(int commandId, const QString& menuText);
  void RunViewCommand(const std::function<void()>& command) const;

  QToolBar* toolBar_ = nullptr;
  StatusIndicators* indicators_ = nullptr;
  std::map<int, QAction*> actions_;
  ViewCommands commands_;
  bool hideOnClose_ = false;
  bool exiting_ = false;
};

}  // namespace kelvanor
