// setting.xml written from the record: its exact bytes, what loads back, the file's
// permissions, and failed saves that leave the old file whole.
#include <sys/stat.h>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/full_disk.h"
#include "tests/settings/setting_dir.h"
#include "tests/settings/setting_record.h"

namespace kelvanor::test {
namespace {

SettingData Sample() {
  SettingData s;
  s.refreshTime = 12;
  s.soundType = 3;
  s.soundFile = Gbk(u8"/声音/警报.wav");
  s.ipList.emplace_back("127.0.0.1", 80, Gbk(u8"网站 A&B <主> \"引号\" 'x'"));
  s.ipList.emplace_back("127.0.0.2", -5, Gbk(u8"很长的备注") + std::string(10000, 'r'));
  return s;
}

std::string SavedAndLoaded(const SettingData& s) {
  EXPECT_EQ(SaveSetting(s), 0);
  SettingData loaded;
  EXPECT_EQ(LoadSetting(loaded), 0);
  return Describe(loaded);
}

class SaveSettingTest : public InSettingDir {
 protected:
  int FilesHere() const { return static_cast<int>(std::distance(std::filesystem::directory_iterator(Dir()), {})); }
};

TEST_F(SaveSettingTest, WritesTheGbkDocumentInThePrinterFormat) {
  SettingData s;
  s.ipList.emplace_back("127.0.0.1", 8080, Gbk(u8"主页 & <登录>"));
  ASSERT_EQ(SaveSetting(s), 0);
  EXPECT_EQ(ReadFile(),
            "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
            "<root>\n"
            "    <RefreshTime val=\"30\"/>\n"
            "    <Sound val=\"1\" file=\"\"/>\n"
            "    <IPInfo ip=\"127.0.0.1\" port=\"8080\" remark=\"" + Gbk(u8"主页 &amp; &lt;登录&gt;") + "\"/>\n"
            "</root>\n");
}

TEST_F(SaveSettingTest, RoundTripKeepsEveryFieldAndReplacesThePreviousFileWithoutLeftovers) {
  WriteFile(std::string(5000, ' ') + "<root/>");
  EXPECT_EQ(SavedAndLoaded(Sample()), Describe(Sample()));
  EXPECT_EQ(SavedAndLoaded(SettingData{}), Describe(SettingData{}));
  EXPECT_EQ(FilesHere(), 1);
}

// Found by the loader fuzzer: the parser reads a raw carriage return as a line feed, so
// a remark holding one came back changed after a save.
TEST_F(SaveSettingTest, CarriageReturnInATextSurvivesSaveAndLoad) {
  SettingData s;
  s.soundFile = "a\r\nb";
  s.ipList.emplace_back("127.0.0.1", 80, "two\rlines");
  EXPECT_EQ(SavedAndLoaded(s), Describe(s));
}

TEST_F(SaveSettingTest, ANewFileFollowsTheUmaskAndAReplacedOneKeepsItsPermissions) {
  const mode_t previousMask = umask(022);
  ASSERT_EQ(SaveSetting(Sample()), 0);
  umask(previousMask);
  EXPECT_EQ(std::filesystem::status("setting.xml").permissions(), std::filesystem::perms(0644));
  std::filesystem::permissions("setting.xml", std::filesystem::perms(0604));
  ASSERT_EQ(SaveSetting(SettingData{}), 0);
  EXPECT_EQ(std::filesystem::status("setting.xml").permissions(), std::filesystem::perms(0604));
}

TEST_F(SaveSettingTest, FullDiskOrADirectoryInTheWayFailsAndLeavesWhatWasThere) {
  ASSERT_EQ(SaveSetting(Sample()), 0);
  const std::string before = ReadFile();
  {
    FullDisk full;
    EXPECT_EQ(SaveSetting(SettingData{}), -1);
  }
  EXPECT_EQ(ReadFile(), before);
  EXPECT_EQ(FilesHere(), 1);
  std::filesystem::remove("setting.xml");
  std::filesystem::create_directory("setting.xml");
  WriteFile("the user's", "setting.xml/keep");
  EXPECT_EQ(SaveSetting(Sample()), -1);
  EXPECT_EQ(ReadFile("setting.xml/keep"), "the user's");
  EXPECT_EQ(FilesHere(), 1);
}

}  // namespace
}  // namespace kelvanor::test
