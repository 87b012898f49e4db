// The alarm-sound choice of the settings dialog: the file picker, the path item and
// what the record holds at each step.
#include <QDir>
#include <fstream>

#include "settings/setting_file.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogSoundTest : public SettingDialogTest {
 protected:
  // Works in <temp>/work next to <temp>/sounds, where the picker should open.
  void SetUp() override {
    SettingDialogTest::SetUp();
    std::filesystem::create_directories(Dir() / "work");
    std::filesystem::create_directories(Dir() / "sounds");
    std::filesystem::current_path(Dir() / "work");
  }
  static std::string MakeWave(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "RIFF";
    return Utf8ToGbk(path.string());
  }
};

TEST_F(DialogSoundTest, CancellingThePickerKeepsItemTwoTheOldPathAndTheWorkingDirectory) {
  setting.soundFile = "old.wav";
  Open();
  const auto before = std::filesystem::current_path();
  ChooseSound(kSoundChooseFile);
  ASSERT_EQ(pickerDirectories.size(), 1u);
  EXPECT_EQ(QDir(pickerDirectories[0]).canonicalPath(),
            QDir(QString::fromStdString((Dir() / "sounds").string())).canonicalPath());
  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_EQ(Sound().currentIndex(), kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, kSoundChooseFile);
  EXPECT_EQ(setting.soundFile, "old.wav");
}

TEST_F(DialogSoundTest, WithoutASoundsFolderThePickerOpensInTheWorkingDirectory) {
  std::filesystem::remove(Dir() / "sounds");
  Open();
  ChooseSound(kSoundChooseFile);
  ASSERT_EQ(pickerDirectories.size(), 1u);
  EXPECT_EQ(QDir(pickerDirectories[0]).canonicalPath(),
            QDir(QString::fromStdString((Dir() / "work").string())).canonicalPath());
}

TEST_F(DialogSoundTest, AChosenFileBecomesItemThreeAndNoSoundRemovesIt) {
  Open();
  const std::string first = MakeWave(Dir() / "sounds" / "a.wav");
  pickedFile = GbkToQString(first);
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 4);
  EXPECT_EQ(Sound().currentIndex(), kSoundFileItem);
  EXPECT_EQ(Sound().itemText(kSoundFileItem), pickedFile);
  EXPECT_EQ(setting.soundFile, first);

  const std::string second = MakeWave(Dir() / "sounds" / "铃声.wav");
  pickedFile = GbkToQString(second);
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 4);
  EXPECT_EQ(setting.soundFile, second);
  ChooseSound(kSoundFileItem);
  EXPECT_EQ(setting.soundType, kSoundFileItem);

  ChooseSound(kSoundNone);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, kSoundNone);
  EXPECT_EQ(setting.soundFile, "");
}

TEST_F(DialogSoundTest, AStoredFileOpensAsItemThreeOnlyWhileItExists) {
  setting.soundType = 3;
  setting.soundFile = MakeWave(Dir() / "sounds" / "kept.wav");
  Open();
  EXPECT_EQ(Sound().currentIndex(), kSoundFileItem);
  EXPECT_EQ(Sound().itemText(kSoundFileItem), GbkToQString(setting.soundFile));
}

TEST_F(DialogSoundTest, AMissingFileOpensOnTheSpeakerAndTheRecordKeepsItsValues) {
  setting.soundType = 3;
  setting.soundFile = "gone.wav";
  Open();
  EXPECT_EQ(Sound().currentIndex(), kSoundSpeaker);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, 3);
  EXPECT_EQ(setting.soundFile, "gone.wav");
}

TEST_F(DialogSoundTest, ANegativeSoundTypeSelectsNothingAndOkStoresMinusOne) {
  setting.soundType = -1;
  Open();
  EXPECT_EQ(Sound().currentIndex(), -1);
  Click(kIdOk);
  EXPECT_EQ(setting.soundType, -1);
}

TEST_F(DialogSoundTest, APathLongerThan256BytesIsKeptWholeThroughOkAndTheFile) {
  std::filesystem::path deep = Dir() / "sounds";
  for (int i = 0; i < 8; ++i) deep /= std::string(40, static_cast<char>('a' + i));
  const std::string path = MakeWave(deep / "long.wav");
  ASSERT_GT(path.size(), 300u);
  Open();
  pickedFile = GbkToQString(path);
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(setting.soundFile, path);
  Click(kIdOk);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.soundFile, path);
  EXPECT_EQ(saved.soundType, kSoundFileItem);
}

TEST_F(DialogSoundTest, APathGbkCannotHoldIsRefusedWithAMessageLikeACancel) {
  setting.soundFile = "old.wav";
  Open();
  pickedFile = QString::fromUtf8("/tmp/\xF0\x9F\x94\x94.wav");
  ChooseSound(kSoundChooseFile);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundFile, "old.wav");
}

}  // namespace
}  // namespace kelvanor::test
