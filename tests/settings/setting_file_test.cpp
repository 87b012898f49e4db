// setting.xml loaded into a record holding the defaults and saved from one: what each
// kind of file gives, the bytes written, and saves that fail or are killed midway.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

// The configured fields of a record as one line, so a failure shows every field.
std::string Describe(const SettingData& s) {
  std::string text = std::to_string(s.refreshTime) + " " + std::to_string(s.soundType) + " [" + s.soundFile + "]";
  for (const IPInfo& e : s.ipList) text += " " + e.ip + ":" + std::to_string(e.port) + "[" + e.remark + "]";
  return text;
}

const std::string kDefaults = "30 1 []";

class SettingFileTest : public InSettingDir {
 protected:
  // The result of loading setting.xml into a record with the defaults, then the record.
  static std::string Loaded() {
    SettingData s;
    const int result = LoadSetting(s);
    return std::to_string(result) + ": " + Describe(s);
  }
  static std::string Load(const std::string& bytes) {
    WriteFile(bytes);
    return Loaded();
  }
  static void ExpectRoundTrip(const SettingData& s) {
    ASSERT_EQ(SaveSetting(s), 0);
    EXPECT_EQ(Loaded(), "0: " + Describe(s));
  }
  int FilesHere() const { return static_cast<int>(std::distance(std::filesystem::directory_iterator(Dir()), {})); }
};

TEST_F(SettingFileTest, EachKindOfFileLoadsAsItShouldAndAMissingOrCutShortOneGivesTheDefaults) {
  const struct {
    const char* kind;
    std::string bytes, loaded;
  } files[] = {
      {"integers scanned like %d, with digits beyond 32 bits saturating",
       "<root><RefreshTime val=\"4294967326\"/><IPInfo port=\"80x\"/><IPInfo port=\"http\"/><IPInfo port=\"&#9;&#13; -5\"/>"
       "<IPInfo port=\"+7\"/><IPInfo port=\"0x10\"/><IPInfo port=\"-99999999999\"/><IPInfo port=\"-2147483648\"/></root>",
       "0: 2147483647 1 [] :80[] :0[] :-5[] :7[] :0[] :-2147483648[] :-2147483648[]"},
      {"absent attributes, read as zero or empty", "<root><RefreshTime/><Sound val=\"2\"/><IPInfo port=\"81\"/></root>",
       "0: 0 2 [] :81[]"},
      {"a root of another name, nested and miscased elements, a later element winning",
       "<config><IPInfo ip=\"a\"/><RefreshTime val=\"10\"/><Other><RefreshTime val=\"99\"/><IPInfo ip=\"x\"/></Other>"
       "<refreshtime val=\"77\"/><IPInfo ip=\"b\"/><RefreshTime val=\"20\"/></config>",
       "0: 20 1 [] a:0[] b:0[]"},
      {"a root without children", "<root>\n</root>\n", "0: " + kDefaults},
      {"no XML", "not xml at all <", "-1: " + kDefaults},
      {"only a comment", "<?xml version=\"1.0\"?>\n<!-- only a comment -->\n", "-1: " + kDefaults},
  };
  EXPECT_EQ(Loaded(), "-1: " + kDefaults) << "no file";
  for (const auto& f : files) EXPECT_EQ(Load(f.bytes), f.loaded) << f.kind;
  const std::string valid = "<?xml version=\"1.0\"?>\n<root>\n<RefreshTime val=\"15\"/>\n</root>";
  for (std::size_t length = 0; length < valid.size(); ++length)
    EXPECT_EQ(Load(valid.substr(0, length)), "-1: " + kDefaults) << "cut at " << length;
}

TEST_F(SettingFileTest, SaveWritesTheGbkDocumentInThePrinterFormat) {
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

// The texts hold carriage returns since the loader fuzzer found the parser reading a raw
// one as a line feed, which changed such a remark after a save.
TEST_F(SettingFileTest, RoundTripKeepsEveryFieldCarriageReturnsIncludedAndLeavesNoTemporaryFile) {
  SettingData s;
  s.refreshTime = 12;
  s.soundType = 3;
  s.soundFile = Gbk(u8"/声音/警报.wav") + "\r\n";
  s.ipList.emplace_back("127.0.0.1", 80, Gbk(u8"网站 A&B <主> \"引号\" 'x'"));
  s.ipList.emplace_back("127.0.0.2", -5, "two\rlines" + std::string(10000, 'r'));
  ExpectRoundTrip(s);
  ExpectRoundTrip(SettingData{});
  EXPECT_EQ(FilesHere(), 1);
}

TEST_F(SettingFileTest, SaveKeepsThePermissionsOfTheFileItReplaces) {
  WriteFile("<root/>");
  std::filesystem::permissions("setting.xml", std::filesystem::perms(0604));
  ASSERT_EQ(SaveSetting(SettingData{}), 0);
  EXPECT_EQ(std::filesystem::status("setting.xml").permissions(), std::filesystem::perms(0604));
}

// A child process saves in a loop and is killed at random points; setting.xml must then
// hold the old record or the new one, never a torn file.
TEST_F(SettingFileTest, KilledSaverLeavesTheOldOrTheNewRecord) {
  SettingData before, after;  // of different sizes, so a torn file could pass for neither
  for (int i = 0; i < 100; ++i) before.ipList.emplace_back("127.0.0.1", i, "old remark");
  for (int i = 0; i < 400; ++i) after.ipList.emplace_back("127.0.0.1", i, "the new and longer remark");
  ASSERT_EQ(SaveSetting(before), 0);
  std::mt19937 random(4);
  for (int attempt = 0; attempt < 150; ++attempt) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
      for (int i = 0;; ++i)
        if (SaveSetting(i % 2 ? before : after) != 0) _exit(1);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver failed on its own";
    const std::string found = Loaded();
    ASSERT_TRUE(found == "0: " + Describe(before) || found == "0: " + Describe(after)) << "torn at attempt " << attempt;
  }
}

}  // namespace
}  // namespace kelvanor::test
