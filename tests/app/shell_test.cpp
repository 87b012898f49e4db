// The whole program, started as main starts it in a fresh directory, with message boxes
// recorded instead of shown.
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <fstream>

#include "app/command_ids.h"
#include "app/kelvanor_app.h"
#include "app/status_indicators.h"
#include "monitor/kelvanor_view.h"
#include "settings/setting_dialog.h"
#include "settings/setting_file.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

QString Utf8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

class ShellTest : public InSettingDir {
 protected:
  void SetUp() override {
    InSettingDir::SetUp();
    WriteSettings();
    ASSERT_TRUE(app_.InitInstance());
  }
  // What the directory holds when the program starts: no setting.xml unless overridden.
  virtual void WriteSettings() {}

  CMainFrame& Frame() { return *app_.MainFrame(); }
  CKelvanorView& View() { return *app_.View(); }
  const std::vector<IPInfo>& List() { return View().Setting().ipList; }
  // Whether the first tile's light turns green.
  bool FirstLightTurnsGreen() {
    return testing::WaitFor([&] { return View().grab().toImage().pixel(25, 43) == qRgb(0, 255, 0); });
  }

  testing::MessageBoxRecorder boxes_;
  CKelvanorApp app_;
};

TEST_F(ShellTest, WithoutSettingFileStartsEmptyWithTheRefreshTimerRunning) {
  EXPECT_TRUE(List().empty());
  EXPECT_TRUE(View().Timers().IsActive(kRefreshTimerId));
  EXPECT_EQ(Frame().windowTitle(), Utf8(u8"Kelvanor-网络检测工具 - v1.01"));
  EXPECT_TRUE(boxes_.calls.empty());
}

TEST_F(ShellTest, ToolbarHoldsSettingRefreshAndAboutWithTheirTexts) {
  const QList<QAction*> buttons = Frame().ToolBar()->actions();
  ASSERT_EQ(buttons.size(), 4);
  EXPECT_EQ(buttons[0], Frame().Action(ID_SETTING));
  EXPECT_EQ(buttons[1], Frame().Action(ID_REFRESH));
  EXPECT_TRUE(buttons[2]->isSeparator());
  EXPECT_EQ(buttons[3], Frame().Action(ID_APP_ABOUT));
  // A status-bar prompt and a tooltip, split from one string-table entry.
  EXPECT_EQ(Frame().Action(ID_REFRESH)->statusTip(), Utf8(u8"刷新状态"));
  EXPECT_EQ(Frame().Action(ID_REFRESH)->toolTip(), Utf8(u8"刷新"));
  EXPECT_EQ(Frame().Action(ID_VIEW_TOOLBAR)->toolTip(), Utf8(u8"切换工具栏"));
}

TEST(LockKeys, StateComesFromTheKeyboardLeds) {
  QTemporaryDir leds;
  const auto led = [&](const char* name, int brightness) {
    QDir(leds.path()).mkpath(name);
    std::ofstream((leds.path() + "/" + name + "/brightness").toStdString()) << brightness;
  };
  led("input3::capslock", 0);
  led("input7::capslock", 1);  // any keyboard's LED counts
  led("input3::numlock", 0);
  led("input3::scrolllockx", 1);  // not a scroll lock LED
  const std::string dir = leds.path().toStdString();
  EXPECT_EQ(LockKeyState(LockKey::Caps, dir), true);
  EXPECT_EQ(LockKeyState(LockKey::Num, dir), false);
  EXPECT_EQ(LockKeyState(LockKey::Scroll, dir), std::nullopt);
  EXPECT_EQ(LockKeyState(LockKey::Caps, dir + "/missing"), std::nullopt);
}

TEST_F(ShellTest, StatusBarShowsReadyAndTheKeyboardsLocks) {
  QStringList texts;
  for (QLabel* label : Frame().statusBar()->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains(Utf8(u8"就绪")));
  for (const auto& [key, text] : {std::pair{LockKey::Caps, "CAP"}, {LockKey::Num, "NUM"}, {LockKey::Scroll, "SCRL"}})
    EXPECT_EQ(Frame().Indicators()->Text(key), LockKeyState(key).value_or(false) ? text : "");
}

TEST_F(ShellTest, HidingTheBarsGivesTheBoardTheirRoomWithCheckMarks) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
  const int fullHeight = View().height();
  for (int height = fullHeight; int command : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    EXPECT_TRUE(Frame().Action(command)->isChecked());
    Frame().Action(command)->trigger();
    Frame().layout()->activate();
    EXPECT_FALSE(Frame().Action(command)->isChecked());
    EXPECT_GT(View().height(), std::exchange(height, View().height()));
  }
  EXPECT_FALSE(Frame().ToolBar()->isVisible());
  EXPECT_FALSE(Frame().statusBar()->isVisible());
  for (int command : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) Frame().Action(command)->trigger();
  Frame().layout()->activate();
  EXPECT_EQ(View().height(), fullHeight);
}

TEST_F(ShellTest, SocketLibraryFailureIsShownAndStartUpFails) {
  EXPECT_EQ(StartSocketLibrary(0x0202), 0);
  EXPECT_NE(StartSocketLibrary(0x0303), 0);
  CKelvanorApp failing([](std::uint16_t version) { return version == 0x0202 ? 10091 : 0; });
  EXPECT_FALSE(failing.InitInstance());
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_EQ(boxes_.calls[0].text, "WSAStartup filed. [CKelvanorApp::InitInstance()]");
  EXPECT_EQ(failing.MainFrame(), nullptr);
}

// Runs the settings command; `drive` works the dialog from inside its modal loop.
void RunSettings(CMainFrame& frame, std::function<void(CSettingDialog&)> drive) {
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CSettingDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    drive(*dialog);
  });
  frame.Action(ID_SETTING)->trigger();
}

TEST_F(ShellTest, SettingsOkWithANewLoopbackEndpointMakesTheBoardShowItProbed) {
  testing::TcpListener listener;
  RunSettings(Frame(), [&](CSettingDialog& dialog) {
    QTest::mouseClick(dialog.GetDlgItem(IDC_BUTTON_ADD), Qt::LeftButton);
    auto* grid = static_cast<CGridCtrl*>(dialog.GetDlgItem(IDC_GRID));
    grid->SetItemText(1, 1, "127.0.0.1");
    grid->SetItemText(1, 2, std::to_string(listener.port()));
    static_cast<QLineEdit*>(dialog.GetDlgItem(IDC_EDIT_REFRESH))->setText("600");
    QTest::mouseClick(dialog.GetDlgItem(kIdOk), Qt::LeftButton);
  });
  EXPECT_TRUE(boxes_.calls.empty());
  ASSERT_EQ(List().size(), 1u);
  EXPECT_EQ(View().Setting().refreshTime, 600);
  EXPECT_TRUE(View().Timers().IsActive(kRefreshTimerId));
  EXPECT_TRUE(FirstLightTurnsGreen());
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  ASSERT_EQ(saved.ipList.size(), 1u);
  EXPECT_EQ(saved.ipList[0].port, listener.port());
}

TEST_F(ShellTest, SettingsCancelLeavesTheListAndTheFileAlone) {
  RunSettings(Frame(), [](CSettingDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(List().empty());
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));
}

// Starts with a setting.xml naming one listening loopback endpoint.
class ShellWithEndpointTest : public ShellTest {
 protected:
  void WriteSettings() override {
    WriteFile("<root><RefreshTime val=\"600\"/><IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(server_.port()) +
              "\"/></root>");
  }
  testing::TcpListener server_;
};

TEST_F(ShellWithEndpointTest, SettingFileIsLoadedBeforeTheFirstCycleAndTilesTurnGreen) {
  ASSERT_EQ(List().size(), 1u);
  EXPECT_EQ(View().Setting().refreshTime, 600);
  EXPECT_NE(List()[0].socket, nullptr);  // the first cycle probed it
  EXPECT_TRUE(FirstLightTurnsGreen());
  QTest::mouseClick(Frame().ToolBar()->widgetForAction(Frame().Action(ID_REFRESH)), Qt::LeftButton);
  EXPECT_EQ(List()[0].result, ConnectingText());
  EXPECT_TRUE(testing::WaitFor([&] { return List()[0].state == Connected; }));
}

// The About box runs its own loop; probe outcomes must still reach the view meanwhile.
TEST_F(ShellWithEndpointTest, ProbesGoOnWhileTheAboutBoxIsOpen) {
  ASSERT_EQ(List()[0].state, Connecting);
  bool connectedWhileOpen = false;
  int ticks = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    connectedWhileOpen = List()[0].state == Connected;
    if (connectedWhileOpen || ++ticks > 500) box->close();
  });
  watch.start(10);
  Frame().Action(ID_APP_ABOUT)->trigger();
  EXPECT_TRUE(connectedWhileOpen);
}

}  // namespace
}  // namespace kelvanor::test
