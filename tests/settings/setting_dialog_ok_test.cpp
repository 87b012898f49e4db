// OK and Cancel of the settings dialog: what reaches the record and setting.xml.

#include "settings/setting_file.h"
#include "tests/settings/full_disk.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

using DialogOkTest = SettingDialogTest;

TEST_F(DialogOkTest, OkDropsRowsWithoutIpReadsPortsLikeAtoiSaturatesOverflowingDigitsAndSaves) {
  setting.Append(IPInfo("dropped", 1, ""));
  Open();
  const std::pair<const char*, std::int32_t> ports[] = {
      {"80abc", 80}, {"", 0}, {"  -5", -5}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}};
  Grid().SetItemText(1, 1, "");
  for (const auto& [text, value] : ports) {
    Click(IDC_BUTTON_ADD);
    const int row = Grid().GetRowCount() - 1;
    Grid().SetItemText(row, 1, "h");
    Grid().SetItemText(row, 2, text);
    Grid().SetItemText(row, 3, Gbk(u8"备注"));
  }
  Interval().setText("45");
  Click(kIdOk);
  EXPECT_TRUE(boxes.calls.empty());
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  for (const SettingData* record : {&setting, &saved}) {
    EXPECT_EQ(record->refreshTime, 45);
    ASSERT_EQ(record->ipList.size(), std::size(ports));
    for (std::size_t i = 0; i < std::size(ports); ++i) {
      const IPInfo& e = record->ipList[i];
      EXPECT_EQ(e.ip + " " + std::to_string(e.port) + " " + e.remark, "h " + std::to_string(ports[i].second) + " " + Gbk(u8"备注"));
    }
  }
  EXPECT_EQ(setting.ipList[0].result, ConnectingText());
}

TEST_F(DialogOkTest, AnIntervalThatIsNoIntegerKeepsTheDialogOpenWithTheBoxSelectedAndSavesNothing) {
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
    EXPECT_EQ(Interval().selectedText(), text);
    EXPECT_EQ(dialog.focusWidget(), &Interval());
  }
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));
  Interval().clear();
  QTest::keyClicks(&Interval(), "-2a147483648");  // only digits are typed
  Interval().setText("-" + Interval().text());  // but no range is enforced on the interval
  Click(kIdOk);
  EXPECT_EQ(setting.refreshTime, INT32_MIN);
}

TEST_F(DialogOkTest, AFailedSaveKeepsTheDialogOpenTheNewValuesInTheRecordAndTheOldFileWhole) {
  setting.Append(IPInfo("old", 1, ""));
  ASSERT_EQ(SaveSetting(setting), 0);
  const std::string before = ReadFile();
  CSettingDialog& dialog = Open();
  Grid().SetItemText(1, 1, "new");
  Interval().setText("7");
  {
    FullDisk full;
    Click(kIdOk);
  }
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk(u8"保存设置失败！")});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(setting.ipList.at(0).ip, "new");
  EXPECT_EQ(setting.refreshTime, 7);
  EXPECT_EQ(ReadFile(), before);
  Click(kIdOk);
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
