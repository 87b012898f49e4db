// The alarm-sound choice of the settings dialog: how a stored choice opens, the file
// picker, the path item and what the record holds at each step.
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
  std::string MakeWave(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "RIFF";
    return Utf8ToGbk(path.string());
  }
  // Where the picker was asked to open the last time.
  std::filesystem::path PickerOpenedIn() const { return pickerDirectories.back().toStdString(); }
};

TEST_F(DialogSoundTest, AStoredChoiceOpensAsItsItemWhileItsFileExistsAndOkStoresWhatIsShown) {
  const struct {
    int soundType;
    const char* file;
    int shown;
  } cases[] = {{-1, "", -1}, {0, "", 0}, {3, "kept.wav", 3}, {3, "gone.wav", 1}, {2, "", 1}};
  MakeWave(Dir() / "work" / "kept.wav");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.soundType) + c.file);
    setting.soundType = c.soundType;
    setting.soundFile = c.file;
    Open();
    EXPECT_EQ(Sound().currentIndex(), c.shown);
    EXPECT_EQ(Sound().count(), c.shown == kSoundFileItem ? 4 : 3);
    EXPECT_EQ(Sound().itemText(kSoundFileItem), c.shown == kSoundFileItem ? QString(c.file) : QString());
    EXPECT_EQ(setting.soundType, c.soundType) << "opening leaves the record alone";
    EXPECT_EQ(setting.soundFile, c.file);
    Click(kIdOk);
    EXPECT_EQ(setting.soundType, c.shown);
  }
}

TEST_F(DialogSoundTest, ThePickerOpensInTheSoundsFolderOrTheWorkingDirectoryAndACancelKeepsTheOldPath) {
  setting.soundFile = "old.wav";
  Open();
  const auto before = std::filesystem::current_path();
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(PickerOpenedIn(), std::filesystem::canonical(Dir() / "sounds"));
  std::filesystem::remove(Dir() / "sounds");
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(PickerOpenedIn(), before);
  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_EQ(Sound().currentIndex(), kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, kSoundChooseFile);
  EXPECT_EQ(setting.soundFile, "old.wav");
}

TEST_F(DialogSoundTest, AChosenFileBecomesItemThreeAndNoSoundRemovesIt) {
  Open();
  for (const char* name : {"a.wav", "铃声.wav"}) {
    const std::string path = MakeWave(Dir() / "sounds" / name);
    pickedFile = GbkToQString(path);
    ChooseSound(kSoundChooseFile);
    EXPECT_EQ(Sound().count(), 4);
    EXPECT_EQ(Sound().currentIndex(), kSoundFileItem);
    EXPECT_EQ(Sound().itemText(kSoundFileItem), pickedFile);
    EXPECT_EQ(setting.soundFile, path);
  }
  ChooseSound(kSoundFileItem);
  EXPECT_EQ(setting.soundType, kSoundFileItem);
  ChooseSound(kSoundNone);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, kSoundNone);
  EXPECT_EQ(setting.soundFile, "");
}

TEST_F(DialogSoundTest, APathLongerThan256BytesIsKeptWholeThroughOkAndTheFile) {
  std::filesystem::path deep = Dir() / "sounds";
  for (char c = 'a'; c < 'i'; ++c) deep /= std::string(40, c);
  pickedFile = GbkToQString(MakeWave(deep / "long.wav"));
  ASSERT_GT(pickedFile.size(), 300);
  Open();
  ChooseSound(kSoundChooseFile);
  Click(kIdOk);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.soundType, kSoundFileItem);
  EXPECT_EQ(GbkToQString(saved.soundFile), pickedFile);
}

TEST_F(DialogSoundTest, APathGbkCannotHoldIsRefusedWithAMessageLikeACancel) {
  setting.soundFile = "old.wav";
  Open();
  pickedFile = QString::fromUtf8("/tmp/\xF0\x9F\x94\x94.wav");
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundFile, "old.wav");
}

}  // namespace
}  // namespace kelvanor::test
