// setting.xml files a new user may well end up with: each has a defined outcome, none
// crashes, and the file the user had is never lost.
#include <random>

#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/immutable_path.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

const std::string kValidFile =
    "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
    "<root>\n"
    "    <RefreshTime val=\"15\"/>\n"
    "    <Sound val=\"0\" file=\"\"/>\n"
    "    <IPInfo ip=\"127.0.0.1\" port=\"80\" remark=\"web\"/>\n"
    "    <IPInfo ip=\"127.0.0.2\" port=\"81\" remark=\"db\"/>\n"
    "</root>\n";

class BadSettingFile : public InSettingDir {
 protected:
  // Loads `bytes` as setting.xml into a record with the defaults; the file must be
  // byte for byte what it was.
  int Load(const std::string& bytes) {
    WriteFile(bytes);
    loaded = SettingData{};
    int result = LoadSetting(loaded);
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

TEST_F(BadSettingFile, EmptyFileGivesTheDefaults) {
  EXPECT_EQ(Load(""), -1);
  ExpectDefaults();
}

TEST_F(BadSettingFile, BinaryGarbageGivesTheDefaults) {
  std::mt19937 random(9);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  garbage[0] = '\x89';  // not even the start of markup
  EXPECT_EQ(Load(garbage), -1);
  ExpectDefaults();
}

TEST_F(BadSettingFile, FileCutShortAnywhereGivesTheDefaults) {
  const std::size_t end = kValidFile.rfind("</root>") + std::strlen("</root>");
  for (std::size_t length = 0; length < end; ++length) {
    SCOPED_TRACE(length);
    EXPECT_EQ(Load(kValidFile.substr(0, length)), -1);
    ExpectDefaults();
  }
}

TEST_F(BadSettingFile, Utf8TextsAreKeptAsTheirBytes) {
  // Written by a UTF-8 editor, declaration and all: the bytes are taken as they are,
  // shown as whatever GBK makes of them, and written back unchanged.
  const std::string remark = reinterpret_cast<const char*>(u8"数据库 服务器");
  EXPECT_EQ(Load("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n"
                 "    <IPInfo ip=\"127.0.0.1\" port=\"3306\" remark=\"" + remark + "\"/>\n</root>\n"),
            0);
  ASSERT_EQ(loaded.ipList.size(), 1u);
  EXPECT_EQ(loaded.ipList[0].remark, remark);
  EXPECT_FALSE(GbkToUtf8(remark).empty());
  ASSERT_EQ(SaveSetting(loaded), 0);
  SettingData again;
  ASSERT_EQ(LoadSetting(again), 0);
  ASSERT_EQ(again.ipList.size(), 1u);
  EXPECT_EQ(again.ipList[0].remark, remark);
}

TEST_F(BadSettingFile, FiftyMegabyteFileLoadsEveryEntry) {
  const std::string remark(10000, 'r');
  std::string file = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n";
  int entries = 0;
  while (file.size() < 50u * 1024 * 1024) {
    file += "    <IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(entries++) + "\" remark=\"" + remark + "\"/>\n";
  }
  file += "</root>\n";
  EXPECT_EQ(Load(file), 0);
  ASSERT_EQ(loaded.ipList.size(), static_cast<std::size_t>(entries));
  EXPECT_EQ(loaded.ipList.back().port, entries - 1);
  EXPECT_EQ(loaded.ipList.back().remark, remark);
}

TEST_F(BadSettingFile, FiftyMegabytesOfNoXmlGiveTheDefaults) {
  EXPECT_EQ(Load(std::string(50u * 1024 * 1024, 'x')), -1);
  ExpectDefaults();
}

TEST_F(BadSettingFile, DirectoryNamedSettingXmlGivesTheDefaultsAndStays) {
  std::filesystem::create_directory("setting.xml");
  std::ofstream("setting.xml/keep") << "the user's";
  EXPECT_EQ(LoadSetting(loaded), -1);
  ExpectDefaults();
  EXPECT_EQ(SaveSetting(loaded), -1);
  EXPECT_EQ(ReadFile("setting.xml/keep"), "the user's");
}

TEST_F(BadSettingFile, ReadOnlyFileLoadsAndIsNotReplaced) {
  WriteFile(kValidFile);
  ImmutablePath readOnly("setting.xml");
  if (!readOnly.ok()) GTEST_SKIP() << "no immutable flag on this file system";
  ASSERT_EQ(LoadSetting(loaded), 0);
  EXPECT_EQ(loaded.ipList.size(), 2u);
  loaded.ipList.clear();
  EXPECT_EQ(SaveSetting(loaded), -1);
  EXPECT_EQ(ReadFile(), kValidFile);
}

TEST_F(BadSettingFile, FileInAReadOnlyDirectoryLoadsAndIsNotReplaced) {
  WriteFile(kValidFile);
  ImmutablePath readOnly(Dir());
  if (!readOnly.ok()) GTEST_SKIP() << "no immutable flag on this file system";
  ASSERT_EQ(LoadSetting(loaded), 0);
  EXPECT_EQ(loaded.refreshTime, 15);
  EXPECT_EQ(SaveSetting(SettingData{}), -1);
  EXPECT_EQ(ReadFile(), kValidFile);
}

// Found by the loader fuzzer: the parser reads a raw carriage return as a line feed, so
// a remark holding one came back changed after a save.
TEST_F(BadSettingFile, CarriageReturnInATextSurvivesSaveAndLoad) {
  ASSERT_EQ(Load("<root><IPInfo ip=\"127.0.0.1\" port=\"80\" remark=\"two&#13;lines\"/>"
                 "<Sound val=\"2\" file=\"a&#13;\r\nb\"/></root>"),
            0);
  ASSERT_EQ(loaded.ipList.size(), 1u);
  EXPECT_EQ(loaded.ipList[0].remark, "two\rlines");
  EXPECT_EQ(loaded.soundFile, "a\r\nb");
  ASSERT_EQ(SaveSetting(loaded), 0);
  SettingData again;
  ASSERT_EQ(LoadSetting(again), 0);
  ASSERT_EQ(again.ipList.size(), 1u);
  EXPECT_EQ(again.ipList[0].remark, "two\rlines");
  EXPECT_EQ(again.soundFile, "a\r\nb");
}

}  // namespace
}  // namespace kelvanor::test
