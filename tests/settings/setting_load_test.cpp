#include <climits>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

class LoadSettingTest : public InSettingDir {
 protected:
  // Loads a file whose root holds `children` into a record with the defaults.
  SettingData LoadRoot(const std::string& children, int* result = nullptr) {
    WriteFile("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n" + children + "</root>\n");
    SettingData setting;
    int rc = LoadSetting(setting);
    if (result) *result = rc;
    return setting;
  }
  static void ExpectDefaults(const SettingData& s) {
    EXPECT_TRUE(s.ipList.empty());
    EXPECT_EQ(s.refreshTime, 30);
    EXPECT_EQ(s.soundType, 1);
    EXPECT_EQ(s.soundFile, "");
  }
};

TEST_F(LoadSettingTest, FileOfTheWindowsProgramLoadsByteForByte) {
  // As that program writes it: GBK remark, CRLF line ends, four-space indent.
  const std::string remark = Gbk(u8"数据库服务器");
  const std::string file = Gbk(u8"D:\\声音\\警报.wav");
  WriteFile("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<root>\r\n"
            "    <RefreshTime val=\"15\"/>\r\n"
            "    <Sound val=\"3\" file=\"" + file + "\"/>\r\n"
            "    <IPInfo ip=\"127.0.0.1\" port=\"3306\" remark=\"" + remark + "\"/>\r\n"
            "    <IPInfo ip=\"localhost\" port=\"80\" remark=\"web &amp; api\"/>\r\n"
            "</root>\r\n");
  SettingData s;
  ASSERT_EQ(LoadSetting(s), 0);
  EXPECT_EQ(s.refreshTime, 15);
  EXPECT_EQ(s.soundType, 3);
  EXPECT_EQ(s.soundFile, file);
  ASSERT_EQ(s.ipList.size(), 2u);
  EXPECT_EQ(s.ipList[0].ip, "127.0.0.1");
  EXPECT_EQ(s.ipList[0].port, 3306);
  EXPECT_EQ(s.ipList[0].remark, remark);
  EXPECT_EQ(s.ipList[1].remark, "web & api");
  EXPECT_EQ(s.ipList[1].state, Connecting);
  EXPECT_EQ(s.ipList[1].result, ConnectingText());
}

TEST_F(LoadSettingTest, UnreadableFilesReturnMinusOneAndKeepTheDefaults) {
  SettingData missing;
  EXPECT_EQ(LoadSetting(missing), -1);
  ExpectDefaults(missing);
  for (const char* bytes : {"", "<root><IPInfo ip=\"a\"", "not xml at all <",
                            "<?xml version=\"1.0\" encoding=\"GBK\"?>\n",
                            "<?xml version=\"1.0\"?>\n<!-- only a comment -->\n"}) {
    WriteFile(bytes);
    SettingData s;
    EXPECT_EQ(LoadSetting(s), -1) << bytes;
    ExpectDefaults(s);
  }
}

TEST_F(LoadSettingTest, RootWithoutChildrenChangesNothing) {
  int rc = -2;
  SettingData s = LoadRoot("", &rc);
  EXPECT_EQ(rc, 0);
  ExpectDefaults(s);
}

TEST_F(LoadSettingTest, IntegersAreScannedLikePercentD) {
  SettingData s = LoadRoot(
      "<IPInfo ip=\"a\" port=\"80x\" remark=\"\"/>"
      "<IPInfo ip=\"b\" port=\"http\" remark=\"\"/>"
      "<IPInfo ip=\"c\" port=\"  -5\" remark=\"\"/>"
      "<IPInfo ip=\"d\" port=\"+7\" remark=\"\"/>"
      "<IPInfo ip=\"e\" port=\"0x10\" remark=\"\"/>"
      "<IPInfo ip=\"f\" remark=\"\"/>");
  std::vector<int> ports;
  for (const IPInfo& info : s.ipList) ports.push_back(info.port);
  EXPECT_EQ(ports, (std::vector<int>{80, 0, -5, 7, 0, 0}));
}

TEST_F(LoadSettingTest, IntegersBeyond32BitsSaturate) {
  SettingData s = LoadRoot(
      "<IPInfo ip=\"a\" port=\"99999999999\" remark=\"\"/>"
      "<IPInfo ip=\"b\" port=\"-99999999999\" remark=\"\"/>"
      "<IPInfo ip=\"c\" port=\"-2147483648\" remark=\"\"/>"
      "<IPInfo ip=\"d\" port=\"2147483647\" remark=\"\"/>"
      "<RefreshTime val=\"4294967326\"/>");
  ASSERT_EQ(s.ipList.size(), 4u);
  EXPECT_EQ(s.ipList[0].port, INT_MAX);
  EXPECT_EQ(s.ipList[1].port, INT_MIN);
  EXPECT_EQ(s.ipList[2].port, INT_MIN);
  EXPECT_EQ(s.ipList[3].port, INT_MAX);
  EXPECT_EQ(s.refreshTime, INT_MAX);
}

TEST_F(LoadSettingTest, AbsentAttributesReadAsZeroOrEmpty) {
  SettingData s = LoadRoot("<RefreshTime/><Sound val=\"2\"/><IPInfo port=\"81\"/>");
  EXPECT_EQ(s.refreshTime, 0);
  EXPECT_EQ(s.soundType, 2);
  EXPECT_EQ(s.soundFile, "");
  ASSERT_EQ(s.ipList.size(), 1u);
  EXPECT_EQ(s.ipList[0].ip, "");
  EXPECT_EQ(s.ipList[0].port, 81);
  EXPECT_EQ(s.ipList[0].remark, "");
}

TEST_F(LoadSettingTest, LaterElementsWinAndRowsKeepDocumentOrder) {
  SettingData s = LoadRoot(
      "<IPInfo ip=\"first\" port=\"1\" remark=\"\"/>"
      "<RefreshTime val=\"10\"/>"
      "<Other><RefreshTime val=\"99\"/><IPInfo ip=\"nested\"/></Other>"
      "<refreshtime val=\"77\"/>"
      "<IPInfo ip=\"second\" port=\"2\" remark=\"\"/>"
      "<RefreshTime val=\"20\"/>");
  EXPECT_EQ(s.refreshTime, 20);
  ASSERT_EQ(s.ipList.size(), 2u);
  EXPECT_EQ(s.ipList[0].ip, "first");
  EXPECT_EQ(s.ipList[1].ip, "second");
}

TEST_F(LoadSettingTest, RootMayHaveAnyName) {
  WriteFile("<config><RefreshTime val=\"5\"/></config>");
  SettingData s;
  EXPECT_EQ(LoadSetting(s), 0);
  EXPECT_EQ(s.refreshTime, 5);
}

TEST_F(LoadSettingTest, EntriesAreAppendedToWhatTheListHolds) {
  SettingData s;
  s.ipList.emplace_back("kept", 1, "");
  WriteFile("<root><IPInfo ip=\"added\" port=\"2\" remark=\"\"/></root>");
  ASSERT_EQ(LoadSetting(s), 0);
  ASSERT_EQ(s.ipList.size(), 2u);
  EXPECT_EQ(s.ipList[0].ip, "kept");
  EXPECT_EQ(s.ipList[1].ip, "added");
}

}  // namespace
}  // namespace kelvanor::test
