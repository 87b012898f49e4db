#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/immutable_path.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

SettingData Sample() {
  SettingData s;
  s.refreshTime = 12;
  s.soundType = 3;
  s.soundFile = Gbk(u8"/声音/警报.wav");
  s.ipList.emplace_back("127.0.0.1", 80, Gbk(u8"网站 A&B <主> \"引号\" 'x'"));
  s.ipList.emplace_back("localhost", -5, "");
  s.ipList.emplace_back("127.0.0.2", 70000, Gbk(u8"数据库"));
  return s;
}

void ExpectSameSettings(const SettingData& a, const SettingData& b) {
  EXPECT_EQ(a.refreshTime, b.refreshTime);
  EXPECT_EQ(a.soundType, b.soundType);
  EXPECT_EQ(a.soundFile, b.soundFile);
  ASSERT_EQ(a.ipList.size(), b.ipList.size());
  for (size_t i = 0; i < a.ipList.size(); ++i) {
    EXPECT_EQ(a.ipList[i].ip, b.ipList[i].ip);
    EXPECT_EQ(a.ipList[i].port, b.ipList[i].port);
    EXPECT_EQ(a.ipList[i].remark, b.ipList[i].remark);
  }
}

using SaveSettingTest = InSettingDir;

TEST_F(SaveSettingTest, WritesTheGbkDocumentInThePrinterFormat) {
  SettingData s;
  s.ipList.emplace_back("127.0.0.1", 8080, Gbk(u8"主页 & <登录>"));
  ASSERT_EQ(SaveSetting(s), 0);
  EXPECT_EQ(ReadFile(),
            "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
            "<root>\n"
            "    <RefreshTime val=\"30\"/>\n"
            "    <Sound val=\"1\" file=\"\"/>\n"
            "    <IPInfo ip=\"127.0.0.1\" port=\"8080\" remark=\"" +
                Gbk(u8"主页 &amp; &lt;登录&gt;") + "\"/>\n"
            "</root>\n");
}

TEST_F(SaveSettingTest, EmptyListWritesOnlyRefreshTimeAndSoundAndLoadsBackEmpty) {
  SettingData s;
  ASSERT_EQ(SaveSetting(s), 0);
  EXPECT_EQ(ReadFile().find("IPInfo"), std::string::npos);
  SettingData loaded;
  ASSERT_EQ(LoadSetting(loaded), 0);
  ExpectSameSettings(loaded, s);
}

TEST_F(SaveSettingTest, RoundTripKeepsEveryFieldAndTheGbkBytes) {
  const SettingData s = Sample();
  ASSERT_EQ(SaveSetting(s), 0);
  EXPECT_NE(ReadFile().find("&amp;"), std::string::npos);
  EXPECT_NE(ReadFile().find("&quot;"), std::string::npos);
  SettingData loaded;
  ASSERT_EQ(LoadSetting(loaded), 0);
  ExpectSameSettings(loaded, s);
}

TEST_F(SaveSettingTest, SavingReplacesThePreviousFileAndLeavesNoTemporaryBehind) {
  WriteFile(std::string(5000, ' ') + "<root/>");
  ASSERT_EQ(SaveSetting(Sample()), 0);
  ASSERT_EQ(SaveSetting(SettingData{}), 0);
  SettingData loaded;
  ASSERT_EQ(LoadSetting(loaded), 0);
  EXPECT_TRUE(loaded.ipList.empty());
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(SaveSettingTest, UnwritableDirectoryFailsAndKeepsTheOldFile) {
  ASSERT_EQ(SaveSetting(Sample()), 0);
  const std::string before = ReadFile();
  {
    ImmutablePath immutable(Dir());
    if (!immutable.ok()) GTEST_SKIP() << "no immutable flag on this file system";
    EXPECT_EQ(SaveSetting(SettingData{}), -1);
  }
  EXPECT_EQ(ReadFile(), before);
}

// A file-size limit makes every write past it fail as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

TEST_F(SaveSettingTest, FullDiskFailsAndKeepsTheOldFile) {
  ASSERT_EQ(SaveSetting(Sample()), 0);
  const std::string before = ReadFile();
  SettingData big = Sample();
  for (int i = 0; i < 200; ++i) big.ipList.emplace_back("127.0.0.1", i, std::string(100, 'r'));
  {
    FileSizeLimit limit(before.size() + 64);
    EXPECT_EQ(SaveSetting(big), -1);
  }
  EXPECT_EQ(ReadFile(), before);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Dir())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(SaveSettingTest, SettingNameTakenByADirectoryFails) {
  std::filesystem::create_directory("setting.xml");
  EXPECT_EQ(SaveSetting(Sample()), -1);
  EXPECT_TRUE(std::filesystem::is_directory("setting.xml"));
}

}  // namespace
}  // namespace kelvanor::test
