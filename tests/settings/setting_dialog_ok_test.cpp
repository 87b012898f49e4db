// OK and Cancel of the settings dialog: what reaches the record and setting.xml.

#include "settings/setting_file.h"
#include "tests/settings/immutable_path.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

using DialogOkTest = SettingDialogTest;

TEST_F(DialogOkTest, OkDropsRowsWithoutIpReadsPortsLikeAtoiSaturatesOverflowingDigitsAndSaves) {
  setting.Append(IPInfo("old", 1, ""));
  CSettingDialog& dialog = Open();
  const std::pair<const char*, std::int32_t> ports[] = {
      {"80abc", 80}, {"", 0}, {"  -5", -5}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}};
  Grid().SetItemText(1, 1, "");
  for (int row = 2; row <= 6; ++row) {
    Click(IDC_BUTTON_ADD);
    Grid().SetItemText(row, 1, "h" + std::to_string(row));
    Grid().SetItemText(row, 2, ports[row - 2].first);
    Grid().SetItemText(row, 3, Gbk(u8"备注"));
  }
  Interval().setText("45");
  Click(kIdOk);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(boxes.calls.empty());
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  for (const SettingData* record : {&setting, &saved}) {
    EXPECT_EQ(record->refreshTime, 45);
    ASSERT_EQ(record->ipList.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(record->ipList[i].ip, "h" + std::to_string(i + 2));
      EXPECT_EQ(record->ipList[i].port, ports[i].second) << ports[i].first;
      EXPECT_EQ(record->ipList[i].remark, Gbk(u8"备注"));
      EXPECT_EQ(record->ipList[i].result, ConnectingText());
    }
  }
}

TEST_F(DialogOkTest, AnIntervalThatIsNoIntegerKeepsTheDialogOpenAndSavesNothing) {
  CSettingDialog& dialog = Open();
  EXPECT_EQ(Interval().text(), "30");
  const std::pair<const char*, const char8_t*> cases[] = {
      {"", u8"请输入一个整数。"},
      {"12x", u8"请输入一个整数。"},
      {"4294967296", u8"请输入一个介于 -2147483648 和 2147483647 之间的整数。"},
  };
  for (const auto& [text, message] : cases) {
    Interval().setText(text);
    Click(kIdOk);
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_EQ(boxes.calls.back().text, Gbk(message)) << text;
  }
  EXPECT_EQ(boxes.calls.size(), 3u);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(setting.refreshTime, 30);
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
  Grid().SetItemText(1, 1, "new");
  Interval().setText("7");
  {
    ImmutablePath locked(Dir());
    if (!locked.ok()) GTEST_SKIP() << "no immutable flag on this file system";
    Click(kIdOk);
  }
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{Gbk(u8"保存设置失败！")});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(setting.ipList.at(0).ip, "new");
  EXPECT_EQ(setting.refreshTime, 7);
  EXPECT_EQ(ReadFile(), before);

  Click(kIdOk);  // the directory is writable again
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_NE(ReadFile(), before);
}

TEST_F(DialogOkTest, EscapeCancelsKeepingOnlyTheSoundChoiceInMemoryAndEnterOnOkSaves) {
  setting.Append(IPInfo("kept", 1, ""));
  EXPECT_EQ(RunModal([&] {
              ChooseSound(kSoundNone);
              Grid().SetItemText(1, 1, "changed");
              QTest::keyClick(Item(kIdOk), Qt::Key_Escape);
            }),
            kIdCancel);
  EXPECT_EQ(setting.soundType, kSoundNone);
  EXPECT_EQ(setting.ipList.at(0).ip, "kept");
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));

  EXPECT_EQ(RunModal([&] { QTest::keyClick(Item(kIdOk), Qt::Key_Return); }), kIdOk);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.soundType, kSoundNone);
}

}  // namespace
}  // namespace kelvanor::test
