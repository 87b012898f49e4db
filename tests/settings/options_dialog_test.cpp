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
  void SetUp() override {
    InSettingDir::SetUp();
    previousPicker_ = SetSoundFilePicker([this](QWidget*, const QString&) { return pickedFile; });
  }
  void TearDown() override {
    dialog_.reset();
    SetSoundFilePicker(std::move(previousPicker_));
    InSettingDir::TearDown();
  }
  COptionsDialog& Open(const MonitorOptions& options, bool trayAvailable) {
    dialog_.emplace(options, trayAvailable);
    dialog_->show();
    return *dialog_;
  }
  template <class Widget>
  Widget& Find(const char8_t* text) {
    for (Widget* w : dialog_->findChildren<Widget*>())
      if (w->text() == QString::fromUtf8(reinterpret_cast<const char*>(text))) return *w;
    throw std::runtime_error("no such control");
  }
  QCheckBox& Box(const char8_t* text) { return Find<QCheckBox>(text); }
  QSpinBox& Failures() { return *dialog_->findChild<QSpinBox*>(); }
  QLineEdit& FileShown() { return *dialog_->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly); }
  void Toggle(QCheckBox& box) {
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
  }
  void Click(const char8_t* button) { QTest::mouseClick(&Find<QPushButton>(button), Qt::LeftButton); }
  void Press(QWidget& w, Qt::Key key, int times) {
    for (int i = 0; i < times; ++i) QTest::keyClick(&w, key);
  }

  QString pickedFile;  // empty is a cancel

 private:
  std::optional<COptionsDialog> dialog_;
  SoundFilePicker previousPicker_;
};

MonitorOptions FromAFile() {
  MonitorOptions o;
  o.inFile = true;
  o.unknownAttributes = {{"later", "x"}};
  return o;
}

TEST_F(OptionsDialogTest, OkGivesBackEveryChangeAndCancelWhatTheDialogOpenedOn) {
  for (const bool ok : {true, false}) {
    COptionsDialog& dialog = Open(FromAFile(), true);
    Press(Failures(), Qt::Key_Up, 2);
    Toggle(Box(u8"恢复时播放提示音"));
    pickedFile = QStringLiteral("/声音/恢复.wav");
    Click(u8"选择文件…");
    for (const char8_t* item : {u8"托盘图标", u8"桌面通知", u8"事件日志 (kelvanor-events.csv)"}) Toggle(Box(item));
    Click(ok ? u8"确定" : u8"取消");
    EXPECT_FALSE(dialog.isVisible());
    MonitorOptions expected = FromAFile();
    if (ok) {
      expected.failuresBeforeAlarm = 3;
      expected.recoverySound = expected.trayIcon = expected.notifications = expected.eventLog = true;
      expected.recoveryFile = Gbk(u8"/声音/恢复.wav");
    }
    EXPECT_TRUE(dialog.Options() == expected) << (ok ? "OK" : "Cancel");
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
    EXPECT_EQ(Box(u8"托盘图标").isEnabled(), c.trayEnabled);
    EXPECT_EQ(Box(u8"桌面通知").isEnabled(), c.notificationsEnabled);
    Click(u8"确定");
    EXPECT_TRUE(dialog.Options() == options) << c.trayAvailable << c.trayIcon;
  }
  Open(MonitorOptions{}, true);
  Toggle(Box(u8"托盘图标"));
  EXPECT_TRUE(Box(u8"桌面通知").isEnabled()) << "turning the tray icon on offers notifications";
}

TEST_F(OptionsDialogTest, TheRecoveryFileIsChosenOnlyWithTheToneOnAndOnlyWhenGbkCanHoldItsPath) {
  testing::MessageBoxRecorder boxes;
  COptionsDialog& dialog = Open(MonitorOptions{}, false);
  EXPECT_FALSE(Find<QPushButton>(u8"选择文件…").isEnabled());
  Toggle(Box(u8"恢复时播放提示音"));
  EXPECT_FALSE(Find<QPushButton>(u8"内置提示音").isEnabled()) << "the built-in tone is already chosen";
  pickedFile = QStringLiteral("/声音/好.wav");
  Click(u8"选择文件…");
  pickedFile = QStringLiteral("/sounds/\U0001F600.wav");
  Click(u8"选择文件…");
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, Gbk(u8"所选文件的路径含有无法保存的字符，请选择其他文件。"));
  EXPECT_EQ(FileShown().text(), QStringLiteral("/声音/好.wav"));
  pickedFile.clear();
  Click(u8"选择文件…");
  EXPECT_EQ(FileShown().text(), QStringLiteral("/声音/好.wav")) << "a cancelled picker changes nothing";
  Click(u8"内置提示音");
  EXPECT_TRUE(FileShown().text().isEmpty());
  Click(u8"确定");
  EXPECT_TRUE(dialog.Options().recoverySound && dialog.Options().recoveryFile.empty());
}

TEST_F(OptionsDialogTest, TheFailureCountStaysWithinOneToTen) {
  COptionsDialog& dialog = Open(MonitorOptions{}, false);
  Press(Failures(), Qt::Key_Down, 1);
  EXPECT_EQ(Failures().value(), 1);
  Press(Failures(), Qt::Key_Up, 12);
  Click(u8"确定");
  EXPECT_EQ(dialog.Options().failuresBeforeAlarm, 10);
}

}  // namespace
}  // namespace kelvanor::test
