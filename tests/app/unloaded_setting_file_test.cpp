// Starting on a setting.xml that is there but does not load: one box names the file and
// what is wrong, and 选项设置's OK replaces the file only when the operator agrees. A file
// that loads, or none, starts without a word.
#include <QApplication>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>

#include "app/command_ids.h"
#include "platform/gbk.h"
#include "settings/options_dialog.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

const std::string kDamaged = "<root>\n<IPInfo ip=\"127.0.0.1\" port=\"80\"/>\n<Options trayIcon=\"1\" trayIcon=\"0\"/>\n</root>";

std::string SettingFileName() { return (std::filesystem::current_path() / "setting.xml").string(); }

class DamagedSettingFileTest : public ShellTest {
 protected:
  void WriteSettings() override { WriteFile(kDamaged); }
  // 选项设置 with its count set and OK pressed.
  void ChooseFailuresBeforeAlarm(int count) {
    QTimer::singleShot(0, [count] {
      auto* dialog = qobject_cast<COptionsDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->findChild<QSpinBox*>()->setValue(count);
      dialog->accept();
    });
    Frame().Action(ID_OPTIONS)->trigger();
  }
};

TEST_F(DamagedSettingFileTest, StartSaysWhatIsWrongOnceAndOptionsOkReplacesTheFileOnlyOnYes) {
  ASSERT_EQ(boxes_.calls.size(), 1u);
  const std::string text = GbkToUtf8(boxes_.calls[0].text);
  EXPECT_NE(text.find(SettingFileName()), std::string::npos) << text;
  EXPECT_NE(text.find(reinterpret_cast<const char*>(u8"第 3 行有重复或无效的属性")), std::string::npos) << text;
  EXPECT_TRUE(List().empty());

  boxes_.answer = kIdNo;
  ChooseFailuresBeforeAlarm(3);
  ASSERT_EQ(boxes_.calls.size(), 2u);
  EXPECT_EQ(boxes_.calls[1].buttons, MessageButtons::YesNo);
  EXPECT_EQ(ReadFile(), kDamaged);
  EXPECT_EQ(View().Setting().options.failuresBeforeAlarm, 3) << "in effect for this run all the same";

  boxes_.answer = kIdYes;
  ChooseFailuresBeforeAlarm(4);
  EXPECT_EQ(boxes_.calls.size(), 3u);
  EXPECT_NE(ReadFile().find("<Options failuresBeforeAlarm=\"4\"/>"), std::string::npos) << ReadFile();
  ChooseFailuresBeforeAlarm(5);
  EXPECT_EQ(boxes_.calls.size(), 3u) << "the file is the program's own from then on";
}

// Regression: the loader's read threw out of start-up.
class SettingDirectoryTest : public ShellTest {
 protected:
  void WriteSettings() override { std::filesystem::create_directory("setting.xml"); }
};

TEST_F(SettingDirectoryTest, StartsWithABoxNamingItInsteadOfEnding) {
  ASSERT_EQ(boxes_.calls.size(), 1u);
  const std::string text = GbkToUtf8(boxes_.calls[0].text);
  EXPECT_NE(text.find(SettingFileName()), std::string::npos) << text;
  EXPECT_NE(text.find(reinterpret_cast<const char*>(u8"不是普通文件")), std::string::npos) << text;
}

TEST_F(ShellWithEndpointTest, AFileThatLoadsStartsWithoutABox) {
  EXPECT_TRUE(boxes_.calls.empty());
  EXPECT_EQ(List().size(), 1u);
}

}  // namespace
}  // namespace kelvanor::test
