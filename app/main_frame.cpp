#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/command_ids.h"
#include "app/resource_icon.h"
#include "app/status_indicators.h"
#include "platform/gbk.h"

namespace kelvanor {
namespace {

QString Text(const char8_t* utf8) { return QString::fromUtf8(reinterpret_cast<const char*>(utf8)); }

}  // namespace

CMainFrame::CMainFrame() {
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName("AFX_IDW_TOOLBAR");
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(16, 15));
  addToolBar(Qt::TopToolBarArea, toolBar_);
  statusBar()->setObjectName("AFX_IDW_STATUS_BAR");
  indicators_ = new StatusIndicators(statusBar());

  QAction* setting = MakeAction(ID_SETTING, Text(u8"监控设置(&S)..."));
  setting->setIcon(ResourceIcon("tool_setting"));
  connect(setting, &QAction::triggered, this, [this] { RunViewCommand(commands_.editSettings); });
  QAction* refresh = MakeAction(ID_REFRESH, Text(u8"刷新状态(&R)"));
  refresh->setIcon(ResourceIcon("tool_refresh"));
  refresh->setShortcut(Qt::Key_F5);
  connect(refresh, &QAction::triggered, this, [this] { RunViewCommand(commands_.refreshStatus); });
  QAction* about = MakeAction(ID_APP_ABOUT, Text(u8"关于(&A)..."));
  about->setIcon(ResourceIcon("tool_about"));
  connect(about, &QAction::triggered, this, &CMainFrame::AboutRequested);
  QAction* exit = MakeAction(ID_APP_EXIT, Text(u8"退出(&X)"));
  connect(exit, &QAction::triggered, this, &CMainFrame::Exit);
  QAction* silence = MakeAction(ID_SILENCE, Text(u8"静音(&M)"));
  silence->setCheckable(true);
  silence->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  QAction* options = MakeAction(ID_OPTIONS, Text(u8"选项设置(&O)..."));
  QAction* showToolBar = toolBar_->toggleViewAction();
  QAction* showStatusBar = MakeAction(ID_VIEW_STATUS_BAR, Text(u8"状态栏(&S)"));
  showStatusBar->setCheckable(true);
  showStatusBar->setChecked(true);
  connect(showStatusBar, &QAction::toggled, statusBar(), &QWidget::setVisible);
  showToolBar->setText(Text(u8"工具栏(&T)"));
  const CommandText toolBarText = CommandTextOf(ID_VIEW_TOOLBAR);
  showToolBar->setStatusTip(GbkToQString(toolBarText.prompt));
  showToolBar->setToolTip(GbkToQString(toolBarText.tip));
  actions_[ID_VIEW_TOOLBAR] = showToolBar;

  toolBar_->addAction(setting);
  toolBar_->addAction(refresh);
  toolBar_->addSeparator();
  toolBar_->addAction(about);

  // The view's two commands are in the menu too, so a hidden toolbar hides neither.
  QMenu* fileMenu = menuBar()->addMenu(Text(u8"文件(&F)"));
  fileMenu->addAction(setting);
  fileMenu->addAction(refresh);
  fileMenu->addSeparator();
  fileMenu->addAction(exit);
  QMenu* viewMenu = menuBar()->addMenu(Text(u8"视图(&V)"));
  viewMenu->addAction(showToolBar);
  viewMenu->addAction(showStatusBar);
  QMenu* optionsMenu = menuBar()->addMenu(Text(u8"选项(&O)"));
  optionsMenu->addAction(silence);
  optionsMenu->addSeparator();
  optionsMenu->addAction(options);
  menuBar()->addMenu(Text(u8"帮助(&H)"))->addAction(about);
  resize(850, 600);
}

QAction* CMainFrame::MakeAction(int commandId, const QString& menuText) {
  auto* action = new QAction(menuText, this);
  const CommandText text = CommandTextOf(commandId);
  action->setStatusTip(GbkToQString(text.prompt));
  action->setToolTip(GbkToQString(text.tip));
  actions_[commandId] = action;
  return action;
}

QAction* CMainFrame::Action(int commandId) const {
  const auto found = actions_.find(commandId);
  return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::SetView(QWidget* view, ViewCommands commands) {
  setCentralWidget(view);
  commands_ = std::move(commands);
}

bool CMainFrame::Exit() {
  exiting_ = true;
  const bool closed = close();
  exiting_ = false;
  return closed;
}

void CMainFrame::closeEvent(QCloseEvent* e) {
  if (hideOnClose_ && !exiting_) {
    hide();
    e->ignore();
    return;
  }
  QMainWindow::closeEvent(e);
}

void CMainFrame::SetDocumentTitle(const QString& title) { setWindowTitle(title + " - v1.01"); }

void CMainFrame::RunViewCommand(const std::function<void()>& command) const {
  if (GetActiveView() && command) command();
}

}  // namespace kelvanor
