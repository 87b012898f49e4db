// setting.xml loaded into a record holding the defaults and saved from one: what each
// kind of file gives, the bytes written, and saves that fail or are killed midway.
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>
#include <set>
#include <thread>

#include "platform/gbk.h"
#include "settings/address_mode_text.h"
#include "settings/attribute_count.h"
#include "settings/setting_file.h"
#include "tests/common/process_counts.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

// The configured fields of a record as one line, so a failure shows every field.
std::string Describe(const SettingData& s) {
  std::string text = std::to_string(s.refreshTime) + " " + std::to_string(s.soundType) + " [" + s.soundFile + "]";
  for (const IPInfo& e : s.ipList) {
    text += " " + e.ip + ":" + std::to_string(e.port) + "[" + e.remark + "]";
    if (const char* mode = StoredModeText(e.addressMode)) text += std::string("/") + mode;
  }
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
};

TEST_F(SettingFileTest, EachKindOfFileLoadsAsItShouldAndAMissingOrCutShortOneGivesTheDefaults) {
  const std::tuple<const char*, std::string, std::string> files[] = {  // kind, bytes, what loads
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
      {"address modes, an unknown one read as auto",
       "<root><IPInfo ip=\"::1\" mode=\"6\"/><IPInfo ip=\"h\" mode=\"both\"/><IPInfo ip=\"h\" mode=\"IPv4\"/></root>",
       "0: 30 1 [] ::1:0[]/6 h:0[]/both h:0[]"},
      {"a root without children", "<root>\n</root>\n", "0: " + kDefaults},
      {"no XML", "not xml at all <", "-1: " + kDefaults},
      {"only a comment", "<?xml version=\"1.0\"?>\n<!-- only a comment -->\n", "-1: " + kDefaults},
  };
  EXPECT_EQ(Loaded(), "-1: " + kDefaults) << "no file";
  for (const auto& [kind, bytes, loaded] : files) EXPECT_EQ(Load(bytes), loaded) << kind;
  const std::string valid = "<?xml version=\"1.0\"?>\n<root>\n<RefreshTime val=\"15\"/>\n</root>";
  for (std::size_t length = 0; length < valid.size(); ++length)
    EXPECT_EQ(Load(valid.substr(0, length)), "-1: " + kDefaults) << "cut at " << length;
}

// A file that is there but does not load is marked so that nothing saves over it
// unasked, with what is wrong in the operator's words; a missing file is no problem. A
// directory threw out of the loader, a FIFO held it for good.
TEST_F(SettingFileTest, AFileThatIsThereButDoesNotLoadIsMarkedWithWhatIsWrong) {
  std::string tooMany = "<root><Other";
  for (std::size_t i = 0; i <= kMaxAttributesPerElement; ++i) tooMany += " a" + std::to_string(i) + "=\"1\"";
  tooMany += "/></root>";
  const std::tuple<const char*, std::function<void()>, int, std::u8string> files[] = {
      {"well formed", [] { WriteFile("<root><IPInfo ip=\"a\"/></root>"); }, 0, u8""},
      {"missing", [] {}, -1, u8""},
      {"a repeated option", [] { WriteFile("<root>\n<IPInfo ip=\"a\"/>\n<Options eventLog=\"1\" eventLog=\"1\"/></root>"); },
       -1, u8"第 3 行有重复或无效的属性"},
      {"too many attributes", [&] { WriteFile(tooMany); }, -1, u8"有元素的属性超过 1000 个"},
      {"cut short", [] { WriteFile("<root>\n<IPInfo ip=\"a\"/>\n<IPIn"); }, -1, u8"第 3 行的 XML 格式有误"},
      {"empty", [] { WriteFile(""); }, -1, u8"文件中没有任何元素"},
      {"only a comment", [] { WriteFile("<!-- x -->"); }, -1, u8"文件中没有任何元素"},
      {"a directory", [] { std::filesystem::create_directory("setting.xml"); }, -1, u8"不是普通文件"},
      {"a FIFO", [] { ASSERT_EQ(mkfifo("setting.xml", 0600), 0); }, -1, u8"不是普通文件"},
  };
  for (const auto& [kind, make, result, problem] : files) {
    std::filesystem::remove("setting.xml");
    make();
    SettingData s;
    const SettingLoad load = LoadSettingFile(s);
    EXPECT_EQ(load.result, result) << kind;
    EXPECT_EQ(GbkToUtf8(load.problem), reinterpret_cast<const char*>(problem.c_str())) << kind;
    EXPECT_EQ(s.fileNotLoaded, !problem.empty()) << kind;
    EXPECT_EQ(s.ipList.size(), result == 0 ? 1u : 0u) << kind;
  }
}

// The texts hold carriage returns since the loader fuzzer found the parser reading a raw
// one as a line feed, which changed such a remark after a save. The options file tests
// check the bytes written.
TEST_F(SettingFileTest, SaveWritesEveryFieldSoThatItLoadsBackKeepsThePermissionsAndLeavesNoTemporaryFile) {
  WriteFile("<root/>");
  std::filesystem::permissions("setting.xml", std::filesystem::perms(0604));
  SettingData s;
  s.refreshTime = 12;
  s.soundType = 3;
  s.soundFile = Gbk(u8"/声音/警报.wav") + "\r\n";
  s.ipList.emplace_back("127.0.0.1", 80, Gbk(u8"网站 A&B <主> \"引号\" 'x'"));
  s.ipList.emplace_back("127.0.0.2", -5, "two\rlines" + std::string(10000, 'r'));
  s.ipList.emplace_back("[2001:DB8::1]", 443, "v6").addressMode = AddressMode::Both;
  s.ipList.emplace_back("name.example", 80, "").addressMode = AddressMode::V4;
  ASSERT_EQ(SaveSetting(s), 0);
  EXPECT_EQ(Loaded(), "0: " + Describe(s));
  const std::string bytes = ReadFile();
  std::size_t modes = 0;
  for (std::size_t at = bytes.find(" mode="); at != std::string::npos; at = bytes.find(" mode=", at + 1)) ++modes;
  EXPECT_EQ(modes, 2u) << "a mode only where it is not auto";
  EXPECT_EQ(std::filesystem::status("setting.xml").permissions(), std::filesystem::perms(0604));
  EXPECT_EQ(testing::EntriesOf("."), 1);
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

// The XML parser checks every attribute against the earlier ones of its element, so
// hundreds of thousands of them in one element took minutes: such a file is refused by
// a count, which skips quoted values, comments and CDATA, and the file is left as it was.
TEST_F(SettingFileTest, AnElementWithTooManyAttributesIsRefusedAndTheFileLeftAlone) {
  const auto file = [](std::size_t attributes) {
    std::string element = "<Other";
    for (std::size_t i = 0; i < attributes; ++i) element += " a" + std::to_string(i) + "=\"x='y'=\"";
    return "<?xml version=\"1.0\"?>\n<!-- " + std::string(2000, '=') + " -->\n<root><![CDATA['" +
           std::string(2000, '=') + "]]><RefreshTime val=\"7\"/>" + element + "/></root>";
  };
  const std::tuple<const char*, std::size_t, std::string> files[] = {
      {"as many as allowed", kMaxAttributesPerElement, "0: 7 1 []"},
      {"one more", kMaxAttributesPerElement + 1, "-1: " + kDefaults},
      {"three hundred thousand", 300000, "-1: " + kDefaults},
  };
  for (const auto& [kind, attributes, loaded] : files) {
    const std::string bytes = file(attributes);
    EXPECT_EQ(Load(bytes), loaded) << kind;
    EXPECT_TRUE(ReadFile() == bytes) << kind;
  }
}

// The save respects how the operator set the file up. It runs as an unprivileged user,
// since for root permission bits stop nothing: in a child that drops to nobody when the
// test runs as root, each case in a directory of its own. Each outcome: the result, what
// loads after it, whether setting.xml is a link, and what the directory holds.
TEST_F(SettingFileTest, SaveRespectsReadOnlyFilesReadOnlyDirectoriesLinksAndLeftovers) {
  namespace fs = std::filesystem;
  const std::string old = "<root><RefreshTime val=\"9\"/>" + std::string(5000, ' ') + "</root>";  // longer than new
  SettingData record;
  record.refreshTime = 5;
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string leftover = "setting.xml.tmp-" + std::to_string(gone) + "-3";
  const std::string live = "setting.xml.tmp-" + std::to_string(getpid()) + "-3";
  const std::tuple<const char*, std::function<void()>, std::string> cases[] = {
      {"a read-only file is not replaced", [&] { WriteFile(old); fs::permissions("setting.xml", fs::perms(0444)); },
       "-1: 9 1 [] setting.xml"},
      {"a file in a read-only directory is rewritten in place", [&] { WriteFile(old); fs::permissions(".", fs::perms(0555)); },
       "0: 5 1 [] setting.xml"},
      {"a link stays a link, and its target gets the record",
       [&] { fs::create_directory("real"); WriteFile(old, "real/setting.xml"); fs::create_symlink("real/setting.xml", "setting.xml"); },
       "0: 5 1 [] link real setting.xml setting.xml"},
      {"a killed save's leftover goes, a running one's stays",
       [&] { WriteFile(old); WriteFile("torn", leftover.c_str()); WriteFile("being written", live.c_str()); },
       "0: 5 1 [] setting.xml " + live},
  };
  constexpr int kNoNobody = 77;
  ASSERT_TRUE(geteuid() != 0 || chown(Dir().c_str(), 65534, 65534) == 0);
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(kNoNobody);
    std::ofstream outcomes(Dir() / "outcomes");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      fs::create_directory(Dir() / std::to_string(i));
      fs::current_path(Dir() / std::to_string(i));
      std::get<1>(cases[i])();
      const int result = SaveSetting(record);
      const std::string loaded = Loaded();
      outcomes << result << loaded.substr(loaded.find(':'));
      fs::permissions(".", fs::perms(0755));
      if (fs::is_symlink("setting.xml")) outcomes << " link";
      std::multiset<std::string> names;  // a link and its target share a name
      for (const auto& entry : fs::recursive_directory_iterator(".")) names.insert(entry.path().filename().string());
      for (const std::string& name : names) outcomes << " " << name;
      outcomes << std::endl;
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNobody) GTEST_SKIP() << "cannot run as an unprivileged user here";
  std::ifstream outcomes(Dir() / "outcomes");
  for (const auto& [name, setUp, expected] : cases) {
    std::string found;
    std::getline(outcomes, found);
    EXPECT_EQ(found, expected) << name;
  }
}

}  // namespace
}  // namespace kelvanor::test
