// setting.xml read into a record holding the defaults: what each kind of file gives.
#include <climits>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/setting_dir.h"
#include "tests/settings/setting_record.h"

namespace kelvanor::test {
namespace {

const std::string kDefaults = "30 1 []";

class LoadSettingTest : public InSettingDir {
 protected:
  // The result of loading `bytes` into a record with the defaults, then the record.
  static std::string Load(const std::string& bytes) {
    WriteFile(bytes);
    SettingData s;
    const int result = LoadSetting(s);
    return std::to_string(result) + ": " + Describe(s);
  }
};

TEST_F(LoadSettingTest, FileOfTheWindowsProgramLoadsByteForByte) {
  // As that program writes it: GBK texts, CRLF line ends, four-space indent.
  const std::string remark = Gbk(u8"数据库服务器");
  const std::string file = Gbk(u8"D:\\声音\\警报.wav");
  EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<root>\r\n"
                 "    <RefreshTime val=\"15\"/>\r\n"
                 "    <Sound val=\"3\" file=\"" + file + "\"/>\r\n"
                 "    <IPInfo ip=\"127.0.0.1\" port=\"3306\" remark=\"" + remark + "\"/>\r\n"
                 "    <IPInfo ip=\"localhost\" port=\"80\" remark=\"web &amp; api\"/>\r\n"
                 "</root>\r\n"),
            "0: 15 3 [" + file + "] 127.0.0.1:3306[" + remark + "] localhost:80[web & api]");
}

TEST_F(LoadSettingTest, UnreadableFilesGiveMinusOneAndAnEmptyRootZeroBothKeepingTheDefaults) {
  SettingData missing;
  EXPECT_EQ(LoadSetting(missing), -1);
  EXPECT_EQ(Describe(missing), kDefaults);
  const std::string valid = "<?xml version=\"1.0\"?>\n<root>\n<RefreshTime val=\"15\"/>\n</root>";
  for (std::size_t length = 0; length < valid.size(); ++length)
    EXPECT_EQ(Load(valid.substr(0, length)), "-1: " + kDefaults) << "cut at " << length;
  EXPECT_EQ(Load("not xml at all <"), "-1: " + kDefaults);
  EXPECT_EQ(Load("<?xml version=\"1.0\"?>\n<!-- only a comment -->\n"), "-1: " + kDefaults);
  EXPECT_EQ(Load("<root>\n</root>\n"), "0: " + kDefaults);
}

TEST_F(LoadSettingTest, IntegersAreScannedLikePercentDAndDigitsBeyond32BitsSaturate) {
  const std::pair<const char*, int> ports[] = {
      {"80x", 80},   {"http", 0},  {"  -5", -5}, {"+7", 7}, {"0x10", 0}, {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN}, {"-2147483648", INT_MIN}, {"2147483647", INT_MAX},
  };
  std::string file = "<root><RefreshTime val=\"4294967326\"/>";
  std::string expected = "0: 2147483647 1 []";
  for (const auto& [text, value] : ports) {
    file += "<IPInfo ip=\"a\" port=\"" + std::string(text) + "\"/>";
    expected += " a:" + std::to_string(value) + "[]";
  }
  EXPECT_EQ(Load(file + "</root>"), expected);
}

TEST_F(LoadSettingTest, AbsentAttributesReadAsZeroOrEmpty) {
  EXPECT_EQ(Load("<root><RefreshTime/><Sound val=\"2\"/><IPInfo port=\"81\"/></root>"), "0: 0 2 [] :81[]");
}

TEST_F(LoadSettingTest, RootOfAnyNameLaterElementsWinAndRowsAreAppendedInDocumentOrder) {
  WriteFile("<config><IPInfo ip=\"first\"/><RefreshTime val=\"10\"/>"
            "<Other><RefreshTime val=\"99\"/><IPInfo ip=\"nested\"/></Other><refreshtime val=\"77\"/>"
            "<IPInfo ip=\"second\"/><RefreshTime val=\"20\"/></config>");
  SettingData s;
  s.ipList.emplace_back("kept", 1, "");
  ASSERT_EQ(LoadSetting(s), 0);
  EXPECT_EQ(Describe(s), "20 1 [] kept:1[] first:0[] second:0[]");
}

}  // namespace
}  // namespace kelvanor::test
