#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/command_ids.h"
#include "app/kelvanor_app.h"
#include "app/status_indicators.h"
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

// A loopback listener whose queue accepts connections without anyone accepting them.
class Listener {
 public:
  Listener() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ok_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 16) == 0 &&
          getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    port_ = ntohs(address.sin_port);
  }
  ~Listener() { close(fd_); }
  bool ok() const { return ok_; }
  int port() const { return port_; }

 private:
  int fd_;
  bool ok_ = false;
  int port_ = 0;
};

class ShellTest : public InSettingDir {
 protected:
  void SetUp() override {
    InSettingDir::SetUp();
    previousHook_ = SetMessageBoxHook([this](const MessageBoxCall& call) {
      boxes_.push_back(call);
      return kIdOk;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(previousHook_);
    InSettingDir::TearDown();
  }
  void ClickToolButton(CMainFrame& frame, int command) {
    QWidget* button = frame.ToolBar()->widgetForAction(frame.Action(command));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // A setting.xml with one loopback endpoint and a refresh far beyond the test.
  static void WriteOneEndpoint(int port) {
    WriteFile("<root><RefreshTime val=\"600\"/><IPInfo ip=\"127.0.0.1\" port=\"" +
              std::to_string(port) + "\" remark=\"\"/></root>");
  }
  static QImage Board(CKelvanorView& view) { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  std::vector<MessageBoxCall> boxes_;

 private:
  MessageBoxHook previousHook_;
};

TEST_F(ShellTest, StartsWithDefaultsAndAWhiteBoardWithoutSettingFile) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  SettingData& s = app.View()->Setting();
  EXPECT_TRUE(s.ipList.empty());
  EXPECT_EQ(s.refreshTime, 30);
  EXPECT_EQ(s.soundType, 1);
  EXPECT_TRUE(app.View()->Timers().IsActive(kRefreshTimerId));
  const QImage board = Board(*app.View());
  for (int y = 0; y < board.height(); y += 7)
    for (int x = 0; x < board.width(); x += 7) ASSERT_EQ(board.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(ShellTest, CaptionIsProductTitleThenVersion) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  EXPECT_EQ(app.MainFrame()->windowTitle(),
            QString::fromUtf8(reinterpret_cast<const char*>(u8"Kelvanor-网络检测工具 - v1.01")));
  EXPECT_EQ(app.Document().GetTitle(), Gbk(u8"Kelvanor-网络检测工具"));
}

// Starts with a setting.xml naming one listening loopback endpoint.
class ShellWithEndpointTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(server_.ok());
    WriteOneEndpoint(server_.port());
  }

 private:
  Listener server_;
};

TEST_F(ShellWithEndpointTest, SettingFileIsLoadedBeforeTheFirstCycleAndTilesTurnGreen) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  CKelvanorView& view = *app.View();
  ASSERT_EQ(view.Setting().ipList.size(), 1u);
  EXPECT_EQ(view.Setting().refreshTime, 600);
  EXPECT_NE(view.Setting().ipList[0].socket, nullptr);  // the first cycle probed it
  QTRY_COMPARE(view.Setting().ipList[0].state, Connected);
  // The light of the first tile.
  QTRY_COMPARE(Board(view).pixel(18 + 7, 36 + 7) & 0xFFFFFF, 0x00FF00u);

  ClickToolButton(*app.MainFrame(), ID_REFRESH);
  EXPECT_EQ(view.Setting().ipList[0].state, Connecting);
  EXPECT_EQ(view.Setting().ipList[0].result, ConnectingText());
  QTRY_COMPARE(view.Setting().ipList[0].state, Connected);
}

// The About box runs its own loop; probe outcomes must still reach the view meanwhile.
TEST_F(ShellWithEndpointTest, ProbesGoOnWhileTheAboutBoxIsOpen) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  const IPInfo& entry = app.View()->Setting().ipList.at(0);
  ASSERT_EQ(entry.state, Connecting);
  bool connectedWhileOpen = false;
  QTimer watch;
  int ticks = 0;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    connectedWhileOpen = entry.state == Connected;
    if (connectedWhileOpen || ++ticks > 500) box->close();
  });
  watch.start(10);
  app.MainFrame()->Action(ID_APP_ABOUT)->trigger();
  EXPECT_TRUE(connectedWhileOpen);
}

TEST_F(ShellTest, SettingsCommandFromToolbarAndMenuReachesItsHook) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  int edits = 0;
  app.SetEditSettings([&] { ++edits; });
  ClickToolButton(*app.MainFrame(), ID_SETTING);
  app.MainFrame()->Action(ID_SETTING)->trigger();
  EXPECT_EQ(edits, 2);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(ShellTest, ToolbarAndMenuCarryTheCommandTexts) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  QAction* refresh = app.MainFrame()->Action(ID_REFRESH);
  EXPECT_EQ(refresh->statusTip(), QString::fromUtf8(reinterpret_cast<const char*>(u8"刷新状态")));
  EXPECT_EQ(refresh->toolTip(), QString::fromUtf8(reinterpret_cast<const char*>(u8"刷新")));
  QAction* about = app.MainFrame()->Action(ID_APP_ABOUT);
  EXPECT_EQ(about->toolTip(), QString::fromUtf8(reinterpret_cast<const char*>(u8"关于")));
  EXPECT_EQ(CommandTextOf(ID_VIEW_STATUS_BAR).prompt, Gbk(u8"显示或隐藏状态栏"));
  const QList<QAction*> buttons = app.MainFrame()->ToolBar()->actions();
  ASSERT_EQ(buttons.size(), 4);
  EXPECT_EQ(buttons[0], app.MainFrame()->Action(ID_SETTING));
  EXPECT_EQ(buttons[1], refresh);
  EXPECT_TRUE(buttons[2]->isSeparator());
  EXPECT_EQ(buttons[3], about);
}

TEST_F(ShellTest, StatusBarShowsReadyAndTheLockIndicatorsOfTheKeyboard) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  bool ready = false;
  for (QLabel* label : app.MainFrame()->statusBar()->findChildren<QLabel*>())
    ready |= label->text() == QString::fromUtf8(reinterpret_cast<const char*>(u8"就绪"));
  EXPECT_TRUE(ready);
  const StatusIndicators& indicators = *app.MainFrame()->Indicators();
  const std::pair<LockKey, QString> panes[] = {{LockKey::Caps, "CAP"}, {LockKey::Num, "NUM"}, {LockKey::Scroll, "SCRL"}};
  for (const auto& [key, text] : panes)
    EXPECT_EQ(indicators.Text(key), LockKeyState(key).value_or(false) ? text : QString());
}

TEST_F(ShellTest, HidingTheBarsGivesTheBoardTheirRoomWithCheckMarks) {
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  CMainFrame& frame = *app.MainFrame();
  QAction* toolBar = frame.Action(ID_VIEW_TOOLBAR);
  QAction* statusBar = frame.Action(ID_VIEW_STATUS_BAR);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  EXPECT_TRUE(toolBar->isChecked());
  EXPECT_TRUE(statusBar->isChecked());
  const int height = app.View()->height();

  toolBar->trigger();
  frame.layout()->activate();
  EXPECT_FALSE(toolBar->isChecked());
  EXPECT_FALSE(frame.ToolBar()->isVisible());
  const int withoutToolBar = app.View()->height();
  EXPECT_GT(withoutToolBar, height);

  statusBar->trigger();
  frame.layout()->activate();
  EXPECT_FALSE(statusBar->isChecked());
  EXPECT_FALSE(frame.statusBar()->isVisible());
  EXPECT_GT(app.View()->height(), withoutToolBar);

  toolBar->trigger();
  statusBar->trigger();
  frame.layout()->activate();
  EXPECT_EQ(app.View()->height(), height);
}

TEST_F(ShellTest, SocketLibraryFailureIsShownAndStartUpFails) {
  CKelvanorApp app([](std::uint16_t version) { return version == 0x0202 ? 10091 : 0; });
  EXPECT_FALSE(app.InitInstance());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "WSAStartup filed. [CKelvanorApp::InitInstance()]");
  EXPECT_EQ(app.MainFrame(), nullptr);
}

TEST(SocketLibrary, StartsForVersionTwoPointTwoOnly) {
  EXPECT_EQ(StartSocketLibrary(0x0202), 0);
  EXPECT_NE(StartSocketLibrary(0x0303), 0);
}

}  // namespace
}  // namespace kelvanor::test
