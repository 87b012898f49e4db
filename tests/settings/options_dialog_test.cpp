// The options dialog through its real widgets: what OK and Cancel give back, the tray
// items on a desktop without a tray, and the recovery tone's wave file.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTest>

#include "platform/gbk.h"
#include "settings/options_dialog.h"
#include "settings/sound_file_picker.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

class OptionsDialogTest : public InSettingDir {
 protected:
  ~OptionsDialogTest() override { SetSoundFilePicker(std::move(previousPicker_)); }
  COptionsDialog& Open(const MonitorOptions& options, bool trayAvailable) {
    dialog_.emplace(options, trayAvailable);
    dialog_->show();
    return *dialog_;
  }
  template <class Widget = QCheckBox>
  Widget& Find(const char8_t* text) {
    for (Widget* w : dialog_->findChildren<Widget*>())
      if (w->text() == QString::fromUtf8(reinterpret_cast<const char*>(text))) return *w;
    throw std::runtime_error("no such control");
  }
  void Toggle(const char8_t* box) { QTest::keyClick(&Find(box), Qt::Key_Space); }
  void Click(const char8_t* button) { QTest::mouseClick(&Find<QPushButton>(button), Qt::LeftButton); }
  QString FileShown() { return dialog_->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)->text(); }

  QString pickedFile;  // empty is a cancel

 private:
  std::optional<COptionsDialog> dialog_;
  SoundFilePicker previousPicker_ = SetSoundFilePicker([this](QWidget*, const QString&) { return pickedFile; });
};

TEST_F(OptionsDialogTest, OkGivesBackEveryChangeAndWhatTheFileKeptWhileCancelGivesBackWhatItOpenedOn) {
  MonitorOptions opened;
  opened.inFile = true;
  opened.unknownAttributes = {{"later", "x"}};
  for (const bool ok : {true, false}) {
    COptionsDialog& dialog = Open(opened, true);
    for (int i = 0; i < 12; ++i) QTest::keyClick(dialog.findChild<QSpinBox*>(), Qt::Key_Up);
    for (const char8_t* box : {u8"恢复时播放提示音", u8"托盘图标", u8"桌面通知", u8"事件日志 (kelvanor-events.csv)",
                               u8"Prometheus 指标 (http://127.0.0.1:端口/metrics)", u8"近 5 次连接耗时中位数超过",
                               u8"地址族为自动的主机名也连接其 IPv6 地址 (RFC 8305)"})
      Toggle(box);
    pickedFile = QStringLiteral("/声音/恢复.wav");
    Click(u8"选择文件…");
    Click(ok ? u8"确定" : u8"取消");
    MonitorOptions expected = opened;
    if (ok) {
      expected.failuresBeforeAlarm = 10;
      expected.recoverySound = expected.trayIcon = expected.notifications = expected.eventLog = true;
      expected.recoveryFile = Gbk(u8"/声音/恢复.wav");
      expected.metricsPort = 9464;  // the port offered
      expected.slowAfter = std::chrono::milliseconds(500);
      expected.ipv6Names = true;
    }
    EXPECT_TRUE(!dialog.isVisible() && dialog.Options() == expected) << (ok ? "OK" : "Cancel");
  }
}

// Notifications are shown by the tray icon, so they follow it; without a tray neither
// can be changed, and both keep what the file holds for a desktop that has one.
TEST_F(OptionsDialogTest, TheTrayItemsAreOfferedOnlyWithATrayAndKeepTheirValuesWithoutOne) {
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has no tray";
  const struct {
    bool trayAvailable, trayIcon, trayEnabled, notificationsEnabled;
  } cases[] = {{false, true, false, false}, {false, false, false, false}, {true, false, true, false}, {true, true, true, true}};
  for (const auto& c : cases) {
    MonitorOptions options;
    options.trayIcon = c.trayIcon;
    options.notifications = true;
    COptionsDialog& dialog = Open(options, c.trayAvailable);
    EXPECT_EQ(Find(u8"托盘图标").isEnabled(), c.trayEnabled);
    EXPECT_EQ(Find(u8"桌面通知").isEnabled(), c.notificationsEnabled);
    Click(u8"确定");
    EXPECT_TRUE(dialog.Options() == options) << c.trayAvailable << c.trayIcon;
  }
}

TEST_F(OptionsDialogTest, TheRecoveryFileIsChosenOnlyWithTheToneOnAndOnlyWhenGbkCanHoldItsPath) {
  testing::MessageBoxRecorder boxes;
  COptionsDialog& dialog = Open(MonitorOptions{}, false);
  EXPECT_FALSE(Find<QPushButton>(u8"选择文件…").isEnabled());
  Toggle(u8"恢复时播放提示音");
  EXPECT_FALSE(Find<QPushButton>(u8"内置提示音").isEnabled()) << "the built-in tone is what it plays already";
  for (const QString& picked : {QStringLiteral("/声音/好.wav"), QStringLiteral("/s/\U0001F600.wav"), QString()}) {
    pickedFile = picked;
    Click(u8"选择文件…");
    EXPECT_EQ(FileShown(), QStringLiteral("/声音/好.wav")) << "a path GBK cannot hold and a cancel change nothing";
  }
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, Gbk(u8"所选文件的路径含有无法保存的字符，请选择其他文件。"));
  Click(u8"内置提示音");
  EXPECT_TRUE(FileShown().isEmpty());
  Click(u8"确定");
  EXPECT_TRUE(dialog.Options().recoverySound && dialog.Options().recoveryFile.empty());
}

}  // namespace
}  // namespace kelvanor::test
