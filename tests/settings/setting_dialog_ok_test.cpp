// OK and Cancel of the settings dialog: what reaches the record and setting.xml.
#include <QTimer>
#include <climits>

#include "settings/setting_file.h"
#include "tests/settings/immutable_path.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

using DialogOkTest = SettingDialogTest;

void SetRow(CGridCtrl& grid, int row, const std::string& ip, const std::string& port, const std::string& remark) {
  grid.SetItemText(row, 1, ip);
  grid.SetItemText(row, 2, port);
  grid.SetItemText(row, 3, remark);
}

TEST_F(DialogOkTest, OkRebuildsTheListDroppingEmptyIpsConvertingPortsAndSaves) {
  setting.Append(IPInfo("old", 1, ""));
  CSettingDialog& dialog = Open();
  CGridCtrl& grid = Grid();
  for (int i = 0; i < 5; ++i) Click(IDC_BUTTON_ADD);
  SetRow(grid, 1, "", "22", "dropped");
  SetRow(grid, 2, "127.0.0.1", "80abc", Gbk(u8"网关"));
  SetRow(grid, 3, "a", "", "");
  SetRow(grid, 4, "b", "  -5", "");
  SetRow(grid, 5, "c", "99999999999", "");
  SetRow(grid, 6, "d", "-99999999999", "");
  Interval().setText("45");
  Click(kIdOk);

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(boxes.calls.empty());
  ASSERT_EQ(setting.ipList.size(), 5u);
  const std::int32_t ports[] = {80, 0, -5, INT32_MAX, INT32_MIN};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(setting.ipList[i].port, ports[i]);
    EXPECT_EQ(setting.ipList[i].state, Connecting);
    EXPECT_EQ(setting.ipList[i].result, ConnectingText());
  }
  EXPECT_EQ(setting.ipList[0].remark, Gbk(u8"网关"));
  EXPECT_EQ(setting.refreshTime, 45);

  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  ASSERT_EQ(saved.ipList.size(), 5u);
  EXPECT_EQ(saved.ipList[1].ip, "a");
  EXPECT_EQ(saved.ipList[3].port, INT32_MAX);
  EXPECT_EQ(saved.refreshTime, 45);
  EXPECT_EQ(saved.soundType, 1);
}

TEST_F(DialogOkTest, AnIntervalThatIsNoIntegerKeepsTheDialogOpenAndSavesNothing) {
  setting.Append(IPInfo("kept", 1, ""));
  CSettingDialog& dialog = Open();
  EXPECT_EQ(Interval().text(), "30");
  const std::pair<QString, std::string> cases[] = {
      {"", Gbk(u8"请输入一个整数。")},
      {"12x", Gbk(u8"请输入一个整数。")},
      {"4294967296", Gbk(u8"请输入一个介于 -2147483648 和 2147483647 之间的整数。")},
  };
  for (const auto& [text, message] : cases) {
    Interval().setText(text);
    Click(kIdOk);
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_EQ(boxes.calls.back().text, message) << text.toStdString();
  }
  EXPECT_EQ(boxes.calls.size(), 3u);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_EQ(setting.refreshTime, 30);
  ASSERT_EQ(setting.ipList.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));

  Interval().setText("-2147483648");  // no range is enforced on the interval itself
  Click(kIdOk);
  EXPECT_EQ(setting.refreshTime, INT32_MIN);
}

TEST_F(DialogOkTest, TheIntervalBoxTakesOnlyDigitsFromTheKeyboard) {
  Open();
  Interval().clear();
  QTest::keyClicks(&Interval(), "1a-2 3");
  EXPECT_EQ(Interval().text(), "123");
}

TEST_F(DialogOkTest, AFailedSaveKeepsTheDialogOpenTheNewValuesInTheRecordAndTheOldFileWhole) {
  setting.Append(IPInfo("old", 1, ""));
  ASSERT_EQ(SaveSetting(setting), 0);
  const std::string before = ReadFile();
  CSettingDialog& dialog = Open();
  SetRow(Grid(), 1, "new", "2", "");
  Interval().setText("7");
  {
    ImmutablePath locked(Dir());
    if (!locked.ok()) GTEST_SKIP() << "no immutable flag on this file system";
    Click(kIdOk);
  }
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{Gbk(u8"保存设置失败！")});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_EQ(setting.ipList.at(0).ip, "new");
  EXPECT_EQ(setting.refreshTime, 7);
  EXPECT_EQ(ReadFile(), before);

  Click(kIdOk);  // the directory is writable again
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_NE(ReadFile(), before);
}

TEST_F(DialogOkTest, ModalRunEndsWithOkOrCancelAndCancelKeepsOnlyTheSoundChoiceInMemory) {
  setting.Append(IPInfo("kept", 1, ""));
  CSettingDialog dialog(&setting);
  QTimer::singleShot(0, &dialog, [&] {
    auto* combo = static_cast<QComboBox*>(dialog.GetDlgItem(IDC_COMBO_SOUND));
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(kSoundNone, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    static_cast<CGridCtrl*>(dialog.GetDlgItem(IDC_GRID))->SetItemText(1, 1, "changed");
    QTest::keyClick(&dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(setting.soundType, kSoundNone);
  EXPECT_EQ(setting.ipList.at(0).ip, "kept");
  EXPECT_EQ(setting.refreshTime, 30);
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));

  CSettingDialog again(&setting);
  QTimer::singleShot(0, &again, [&] { QTest::keyClick(again.GetDlgItem(kIdOk), Qt::Key_Return); });
  EXPECT_EQ(again.DoModal(), kIdOk);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.soundType, kSoundNone);
}

}  // namespace
}  // namespace kelvanor::test
