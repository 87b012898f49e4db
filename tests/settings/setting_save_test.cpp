// setting.xml written from the record: its exact bytes, what loads back, the file's
// permissions, and failed saves that leave the old file whole.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <functional>
#include <memory>

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
  s.ipList.emplace_back("127.0.0.2", 70000, Gbk(u8"很长的备注") + std::string(10000, 'r'));
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

SettingData SavedAndLoaded(const SettingData& s) {
  EXPECT_EQ(SaveSetting(s), 0);
  SettingData loaded;
  EXPECT_EQ(LoadSetting(loaded), 0);
  return loaded;
}

int FilesIn(const std::filesystem::path& dir) {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
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

TEST_F(SaveSettingTest, RoundTripKeepsEveryFieldAndReplacesThePreviousFileWithoutLeftovers) {
  WriteFile(std::string(5000, ' ') + "<root/>");
  ExpectSameSettings(SavedAndLoaded(Sample()), Sample());
  ExpectSameSettings(SavedAndLoaded(SettingData{}), SettingData{});
  EXPECT_EQ(FilesIn(Dir()), 1);
}

// Found by the loader fuzzer: the parser reads a raw carriage return as a line feed, so
// a remark holding one came back changed after a save.
TEST_F(SaveSettingTest, CarriageReturnInATextSurvivesSaveAndLoad) {
  SettingData s;
  s.soundFile = "a\r\nb";
  s.ipList.emplace_back("127.0.0.1", 80, "two\rlines");
  ExpectSameSettings(SavedAndLoaded(s), s);
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

// Makes saving fail for as long as the returned object lives; null where the file system
// cannot.
using SaveBlocker = std::function<std::shared_ptr<void>(const std::filesystem::path& dir)>;

std::shared_ptr<void> Immutable(const std::filesystem::path& path) {
  auto immutable = std::make_shared<ImmutablePath>(path);
  return immutable->ok() ? immutable : nullptr;
}

class FailedSaveTest : public InSettingDir,
                       public ::testing::WithParamInterface<std::pair<const char*, SaveBlocker>> {};

TEST_P(FailedSaveTest, ReturnsMinusOneAndLeavesTheOldFileWhole) {
  ASSERT_EQ(SaveSetting(Sample()), 0);
  const std::string before = ReadFile();
  {
    const std::shared_ptr<void> blocked = GetParam().second(Dir());
    if (!blocked) GTEST_SKIP() << "no immutable flag on this file system";
    EXPECT_EQ(SaveSetting(SettingData{}), -1);
  }
  EXPECT_EQ(ReadFile(), before);
  EXPECT_EQ(FilesIn(Dir()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Blockers, FailedSaveTest,
    ::testing::Values(
        std::pair<const char*, SaveBlocker>{"UnwritableDirectory", [](auto& dir) { return Immutable(dir); }},
        std::pair<const char*, SaveBlocker>{"ReadOnlyFile", [](auto& dir) { return Immutable(dir / "setting.xml"); }},
        std::pair<const char*, SaveBlocker>{"FullDisk", [](auto&) { return std::make_shared<FileSizeLimit>(64); }}),
    [](const auto& info) { return std::string(info.param.first); });

TEST_F(SaveSettingTest, SettingNameTakenByADirectoryFailsToLoadAndSaveAndTheDirectoryStays) {
  std::filesystem::create_directory("setting.xml");
  WriteFile("the user's", "setting.xml/keep");
  SettingData s;
  EXPECT_EQ(LoadSetting(s), -1);
  EXPECT_TRUE(s.ipList.empty());
  EXPECT_EQ(SaveSetting(Sample()), -1);
  EXPECT_EQ(ReadFile("setting.xml/keep"), "the user's");
}

}  // namespace
}  // namespace kelvanor::test
