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
    std::filesystem::create_directories(Dir() / "sounds");
    std::filesystem::create_directories(Dir() / "work");
    std::filesystem::current_path(Dir() / "work");
  }
  // Makes a wave file and has the picker answer with it; its path in GBK.
  std::string PickWave(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "RIFF";
    pickedFile = QString::fromStdString(path.string());
    return QStringToGbk(pickedFile);
  }
};

TEST_F(DialogSoundTest, AStoredChoiceOpensAsItsItemWhileItsFileExistsAndOkStoresWhatIsShown) {
  const struct {
    int soundType;
    const char* file;
    int shown;
  } cases[] = {{-1, "", -1}, {0, "", 0}, {3, "kept.wav", 3}, {3, "gone.wav", 1}, {2, "", 1}};
  std::ofstream("kept.wav") << "RIFF";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.soundType) + c.file);
    setting.soundType = c.soundType;
    setting.soundFile = c.file;
    Open();
    EXPECT_EQ(Sound().currentIndex(), c.shown);
    EXPECT_EQ(Sound().itemText(kSoundFileItem), c.shown == kSoundFileItem ? QString(c.file) : QString());
    EXPECT_EQ(setting.soundType, c.soundType) << "opening leaves the record alone";
    EXPECT_EQ(setting.soundFile, c.file);
    Click(kIdOk);
    EXPECT_EQ(setting.soundType, c.shown);
  }
}

TEST_F(DialogSoundTest, ACancelledPickerOrAPathGbkCannotHoldKeepsTheOldPathAndTheWorkingDirectory) {
  setting.soundFile = "old.wav";
  Open();
  const auto workingDirectory = std::filesystem::current_path();
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(pickerDirectories.back().toStdString(), std::filesystem::canonical(Dir() / "sounds"));
  std::filesystem::remove(Dir() / "sounds");
  pickedFile = QString::fromUtf8("/tmp/\xF0\x9F\x94\x94.wav");
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(pickerDirectories.back().toStdString(), workingDirectory);  // no sounds folder
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(std::filesystem::current_path(), workingDirectory);
  EXPECT_EQ(Sound().currentIndex(), kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, kSoundChooseFile);
  EXPECT_EQ(setting.soundFile, "old.wav");
}

TEST_F(DialogSoundTest, AChosenFileOfAnyLengthBecomesItemThreeNoSoundRemovesItAndOkSavesItWhole) {
  Open();
  const std::string first = PickWave(Dir() / "sounds" / "a.wav");
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(setting.soundFile, first);
  std::filesystem::path deep = Dir() / "sounds";
  for (char c = 'a'; c < 'i'; ++c) deep /= std::string(40, c);
  const std::string longer = PickWave(deep / "铃声.wav");  // longer than 256 bytes
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 4);
  EXPECT_EQ(Sound().currentIndex(), kSoundFileItem);
  EXPECT_EQ(Sound().itemText(kSoundFileItem), pickedFile);
  ChooseSound(kSoundNone);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundFile, "");
  ChooseSound(kSoundChooseFile);
  setting.soundFile.clear();
  ChooseSound(kSoundFileItem);  // takes the path back from the item
  EXPECT_EQ(setting.soundFile, longer);
  Click(kIdOk);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.soundType, kSoundFileItem);
  EXPECT_EQ(saved.soundFile, longer);
  EXPECT_GT(saved.soundFile.size(), 300u);
}

}  // namespace
}  // namespace kelvanor::test
