// setting.xml read into a record holding the defaults: what each kind of file gives, and
// that loading never changes the file the user has.
#include <climits>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

class LoadSettingTest : public InSettingDir {
 protected:
  int Load(const std::string& bytes) {
    WriteFile(bytes);
    loaded = SettingData{};
    const int result = LoadSetting(loaded);
    EXPECT_EQ(ReadFile(), bytes) << "loading changed the file";
    return result;
  }
  void ExpectDefaults() const {
    EXPECT_TRUE(loaded.ipList.empty());
    EXPECT_EQ(loaded.refreshTime, 30);
    EXPECT_EQ(loaded.soundType, 1);
    EXPECT_EQ(loaded.soundFile, "");
  }

  SettingData loaded;
};

TEST_F(LoadSettingTest, FileOfTheWindowsProgramLoadsByteForByte) {
  // As that program writes it: GBK texts, CRLF line ends, four-space indent.
  const std::string remark = Gbk(u8"数据库服务器");
  const std::string file = Gbk(u8"D:\\声音\\警报.wav");
  ASSERT_EQ(Load("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<root>\r\n"
                 "    <RefreshTime val=\"15\"/>\r\n"
                 "    <Sound val=\"3\" file=\"" + file + "\"/>\r\n"
                 "    <IPInfo ip=\"127.0.0.1\" port=\"3306\" remark=\"" + remark + "\"/>\r\n"
                 "    <IPInfo ip=\"localhost\" port=\"80\" remark=\"web &amp; api\"/>\r\n"
                 "</root>\r\n"),
            0);
  EXPECT_EQ(loaded.refreshTime, 15);
  EXPECT_EQ(loaded.soundType, 3);
  EXPECT_EQ(loaded.soundFile, file);
  ASSERT_EQ(loaded.ipList.size(), 2u);
  EXPECT_EQ(loaded.ipList[0].ip, "127.0.0.1");
  EXPECT_EQ(loaded.ipList[0].port, 3306);
  EXPECT_EQ(loaded.ipList[0].remark, remark);
  EXPECT_EQ(loaded.ipList[1].remark, "web & api");
  EXPECT_EQ(loaded.ipList[1].state, Connecting);
  EXPECT_EQ(loaded.ipList[1].result, ConnectingText());
}

TEST_F(LoadSettingTest, Utf8FileWithAByteOrderMarkIsReadAsItsBytes) {
  const std::string remark = reinterpret_cast<const char*>(u8"数据库 服务器");
  ASSERT_EQ(Load("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n"
                 "    <IPInfo ip=\"127.0.0.1\" port=\"3306\" remark=\"" + remark + "\"/>\n</root>\n"),
            0);
  ASSERT_EQ(loaded.ipList.size(), 1u);
  EXPECT_EQ(loaded.ipList[0].remark, remark);
}

TEST_F(LoadSettingTest, UnreadableFilesGiveMinusOneAndARootWithoutChildrenZero_BothKeepTheDefaults) {
  EXPECT_EQ(LoadSetting(loaded), -1) << "no file";
  ExpectDefaults();
  const std::string valid = "<?xml version=\"1.0\"?>\n<root>\n<RefreshTime val=\"15\"/>\n</root>";
  std::vector<std::string> unreadable = {"not xml at all <", "<?xml version=\"1.0\"?>\n<!-- only a comment -->\n"};
  for (std::size_t length = 0; length < valid.size(); ++length) unreadable.push_back(valid.substr(0, length));
  for (const std::string& bytes : unreadable) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(Load(bytes), -1);
    ExpectDefaults();
  }
  EXPECT_EQ(Load("<root>\n</root>\n"), 0);
  ExpectDefaults();
}

TEST_F(LoadSettingTest, IntegersAreScannedLikePercentDAndDigitsBeyond32BitsSaturate) {
  const std::pair<const char*, int> ports[] = {
      {"80x", 80},   {"http", 0},  {"  -5", -5}, {"+7", 7}, {"0x10", 0}, {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN}, {"-2147483648", INT_MIN}, {"2147483647", INT_MAX},
  };
  std::string entries = "<RefreshTime val=\"4294967326\"/>";
  for (const auto& [text, value] : ports) entries += "<IPInfo ip=\"a\" port=\"" + std::string(text) + "\"/>";
  ASSERT_EQ(Load("<root>" + entries + "</root>"), 0);
  EXPECT_EQ(loaded.refreshTime, INT_MAX);
  ASSERT_EQ(loaded.ipList.size(), std::size(ports));
  for (std::size_t i = 0; i < std::size(ports); ++i) EXPECT_EQ(loaded.ipList[i].port, ports[i].second) << ports[i].first;
}

TEST_F(LoadSettingTest, AbsentAttributesReadAsZeroOrEmpty) {
  ASSERT_EQ(Load("<root><RefreshTime/><Sound val=\"2\"/><IPInfo port=\"81\"/></root>"), 0);
  EXPECT_EQ(loaded.refreshTime, 0);
  EXPECT_EQ(loaded.soundType, 2);
  EXPECT_EQ(loaded.soundFile, "");
  ASSERT_EQ(loaded.ipList.size(), 1u);
  EXPECT_EQ(loaded.ipList[0].ip, "");
  EXPECT_EQ(loaded.ipList[0].port, 81);
  EXPECT_EQ(loaded.ipList[0].remark, "");
}

TEST_F(LoadSettingTest, RootOfAnyNameLaterElementsWinAndRowsAreAppendedInDocumentOrder) {
  WriteFile("<config><IPInfo ip=\"first\"/><RefreshTime val=\"10\"/>"
            "<Other><RefreshTime val=\"99\"/><IPInfo ip=\"nested\"/></Other><refreshtime val=\"77\"/>"
            "<IPInfo ip=\"second\"/><RefreshTime val=\"20\"/></config>");
  loaded.ipList.emplace_back("kept", 1, "");
  ASSERT_EQ(LoadSetting(loaded), 0);
  EXPECT_EQ(loaded.refreshTime, 20);
  ASSERT_EQ(loaded.ipList.size(), 3u);
  EXPECT_EQ(loaded.ipList[0].ip, "kept");
  EXPECT_EQ(loaded.ipList[1].ip, "first");
  EXPECT_EQ(loaded.ipList[2].ip, "second");
}

}  // namespace
}  // namespace kelvanor::test
