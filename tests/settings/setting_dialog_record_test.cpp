// What the settings dialog writes into the record and setting.xml: the list and the
// interval on OK, nothing on a refused interval, port or address mode, and the alarm sound as soon as
// chosen. Leaving it by 取消, Escape or its close button asks first when the endpoints, the
// interval or the alarm were changed, and 否 goes back to editing.
#include <sys/resource.h>

#include <csignal>
#include <fstream>

#include "settings/interval_text.h"
#include "settings/setting_file.h"
#include "settings/sound_file_picker.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

// Works in <temp>/work next to <temp>/sounds, where the wave-file picker should open; the
// picker is answered by the test.
class DialogRecordTest : public SettingDialogTest {
 protected:
  void SetUp() override {
    SettingDialogTest::SetUp();
    std::filesystem::create_directories(Dir() / "sounds");
    std::filesystem::create_directories(Dir() / "work");
    std::filesystem::current_path(Dir() / "work");
  }
  ~DialogRecordTest() override { SetSoundFilePicker(std::move(previousPicker_)); }
  // Makes a wave file for the picker to answer with; its path in GBK.
  std::string PickWave(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "RIFF";
    pickedFile = QString::fromStdString(path.string());
    return QStringToGbk(pickedFile);
  }

  QString pickedFile;  // empty is a cancel
  QString pickerOpenedIn;

 private:
  SoundFilePicker previousPicker_ =
      SetSoundFilePicker([this](QWidget*, const QString& in) { pickerOpenedIn = in; return pickedFile; });
};

// OK runs until the dialog closes: refused while a port is no port, then failing while a
// file-size limit fails the save's writes as a full disk would, then with room again.
TEST_F(DialogRecordTest, OkKeepsRowsWithAnIpRefusesBadPortsAndAFailedSaveKeepsTheDialogOpenAndTheOldFile) {
  const std::tuple<const char*, std::int32_t, std::string, AddressMode> ports[] = {
      {" 1 ", 1, " IPv6 ", AddressMode::V6}, {" 0443\t", 443, Gbk(u8"双栈"), AddressMode::Both}, {"65535", 65535, "", AddressMode::Auto}};
  setting.Append(IPInfo("dropped", 1, ""));
  ASSERT_EQ(SaveSetting(setting), 0);
  const std::string before = ReadFile();
  for (std::size_t i = 0; i < std::size(ports); ++i) setting.Append(IPInfo("h", 0, Gbk(u8"备注")));
  setting.ipList[1].addressMode = AddressMode::V4;
  CSettingDialog& dialog = Open();
  EXPECT_EQ(Grid().GetItemText(2, 4), "IPv4");
  EXPECT_EQ(Grid().GetItemText(3, 4), Gbk(u8"自动"));
  Grid().SetItemText(1, 1, "");
  Grid().SetItemText(1, 2, "not checked: the row has no IP");
  for (int i = 0; i < 3; ++i) {
    Grid().SetItemText(i + 2, 2, std::get<0>(ports[i]));
    Grid().SetItemText(i + 2, 4, std::get<2>(ports[i]));
  }
  Interval().setText("45");
  // Regression: OK stored "abc" as 0, "8O80" as 8 and "-5" as -5 without a word.
  for (const char* port : {"abc", "8O80", "-5", "+80", "", " ", "0", "65536", "99999999999", "8 0", "80abc"}) {
    Grid().SetItemText(3, 2, port);
    Click(kIdOk);
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_EQ(boxes.calls.back().text, Gbk(u8"第3行的端口无效，请输入 1 到 65535 之间的整数。")) << port;
    EXPECT_EQ(dialog.focusWidget(), &Grid());
    EXPECT_EQ(Grid().GetFocusCell(), CCellID(3, 2));
    EXPECT_TRUE(Grid().IsCellSelected(3, 2));
  }
  Grid().SetItemText(3, 2, std::get<0>(ports[1]));
  for (const char* mode : {"x", "ipv5", "46"}) {
    Grid().SetItemText(4, 4, mode);
    Click(kIdOk);
    EXPECT_EQ(boxes.calls.back().text, Gbk(u8"第4行的地址族无效，请输入 自动、IPv4、IPv6 或 双栈。")) << mode;
    EXPECT_EQ(Grid().GetFocusCell(), CCellID(4, 4));
  }
  Grid().SetItemText(4, 4, std::get<2>(ports[2]));
  EXPECT_EQ(setting.refreshTime, 30) << "a refused OK leaves the record alone";
  boxes.calls.clear();
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  const rlimit full{64, previous.rlim_max};
  setrlimit(RLIMIT_FSIZE, &full);
  Click(kIdOk);
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, Gbk(u8"保存设置失败！"));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(setting.refreshTime, 45) << "the record holds the new values";
  EXPECT_EQ(ReadFile(), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "no temporary file is left";

  Click(kIdOk);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  ASSERT_EQ(saved.ipList.size(), std::size(ports)) << "the row without IP is dropped";
  for (std::size_t i = 0; i < std::size(ports); ++i) {
    const IPInfo& e = saved.ipList[i];
    EXPECT_EQ(e.ip + ":" + std::to_string(e.port) + e.remark, "h:" + std::to_string(std::get<1>(ports[i])) + Gbk(u8"备注"));
    EXPECT_EQ(e.addressMode, std::get<3>(ports[i])) << i;
  }
}

// Regression: a file that did not load read as an empty list, and OK wrote that list
// over it. Now OK asks first: 否 leaves the file, the record and the dialog as they were,
// 是 saves, and later saves ask no more.
TEST_F(DialogRecordTest, OkOverAFileThatDidNotLoadAsksAndNoKeepsTheFileTheRecordAndTheDialog) {
  const std::string damaged = "<root><IPInfo ip=\"kept\"/><Options eventLog=\"1\" eventLog=\"1\"/></root>";
  WriteFile(damaged);
  ASSERT_EQ(LoadSetting(setting), -1);
  CSettingDialog& dialog = OpenWith(1);
  Interval().setText("45");
  boxes.answer = kIdNo;
  Click(kIdOk);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].buttons, MessageButtons::YesNo);
  const std::string name = QStringToGbk(QString::fromStdString((std::filesystem::current_path() / "setting.xml").string()));
  EXPECT_NE(boxes.calls[0].text.find(name), std::string::npos) << GbkToUtf8(boxes.calls[0].text);
  EXPECT_EQ(ReadFile(), damaged);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(setting.refreshTime, 30);
  boxes.answer = kIdYes;
  Click(kIdOk);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.refreshTime, 45);
  EXPECT_EQ(saved.ipList.size(), 1u);
  CSettingDialog again(&setting);
  again.show();
  QTest::mouseClick(again.GetDlgItem(kIdOk), Qt::LeftButton);
  EXPECT_EQ(boxes.calls.size(), 2u) << "asked only once";
  EXPECT_EQ(again.result(), QDialog::Accepted);
}

TEST_F(DialogRecordTest, AnIntervalThatIsNoIntegerKeepsTheDialogOpenWithTheBoxSelectedAndSavesNothing) {
  CSettingDialog& dialog = Open();
  EXPECT_EQ(Interval().text(), "30");
  const std::pair<const char*, const char8_t*> cases[] = {
      {"12x", u8"请输入一个整数。"},
      {"2147483648", u8"请输入一个介于 -2147483648 和 2147483647 之间的整数。"},
      {"-2147483649", u8"请输入一个介于 -2147483648 和 2147483647 之间的整数。"},
  };
  for (const auto& [text, message] : cases) {
    Interval().setText(text);
    Click(kIdOk);
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_EQ(boxes.calls.back().text, Gbk(message)) << text;
    EXPECT_EQ(Interval().selectedText(), text);
    EXPECT_EQ(dialog.focusWidget(), &Interval());
  }
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));
  Interval().clear();
  QTest::keyClicks(&Interval(), "-4a5");
  EXPECT_EQ(Interval().text(), "45") << "only digits are typed";
  // The limits of 32 bits are integers still.
  EXPECT_EQ(ParseIntervalText(" -2147483648 ").value, INT32_MIN);
  EXPECT_EQ(ParseIntervalText("+2147483647").value, INT32_MAX);
}

TEST_F(DialogRecordTest, AStoredSoundOpensAsItsItemWhileItsFileExistsAndOkStoresWhatIsShown) {
  // The stored type and file, and the item the dialog shows for them.
  const std::tuple<int, const char*, int> cases[] = {
      {-1, "", -1}, {0, "", 0}, {3, "kept.wav", 3}, {3, "gone.wav", 1}, {2, "", 1}};
  std::ofstream("kept.wav") << "RIFF";
  for (const auto& [type, file, shown] : cases) {
    SCOPED_TRACE(std::to_string(type) + file);
    setting.soundType = type;
    setting.soundFile = file;
    Open();
    EXPECT_EQ(Sound().currentIndex(), shown);
    EXPECT_EQ(Sound().itemText(kSoundFileItem), shown == kSoundFileItem ? QString(file) : QString());
    Click(kIdOk);
    EXPECT_EQ(setting.soundType, shown);
  }
}

// The picker opens in the sounds folder while there is one and gives the working
// directory back.
TEST_F(DialogRecordTest, AChosenFileOfAnyLengthBecomesItemThreeAndIsSavedWholeWhileACancelOrAPathGbkCannotHoldKeepsTheOldOne) {
  setting.soundFile = "old.wav";
  Open();
  const auto workingDirectory = std::filesystem::current_path();
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(pickerOpenedIn.toStdString(), std::filesystem::canonical(Dir() / "sounds"));
  std::filesystem::remove(Dir() / "sounds");
  pickedFile = QString::fromUtf8("/tmp/\xF0\x9F\x94\x94.wav");
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(pickerOpenedIn.toStdString(), workingDirectory);  // no sounds folder
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(std::filesystem::current_path(), workingDirectory);
  EXPECT_EQ(Sound().currentIndex(), kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundType, kSoundChooseFile);
  EXPECT_EQ(setting.soundFile, "old.wav");
  PickWave(Dir() / "sounds" / "a.wav");
  ChooseSound(kSoundChooseFile);
  std::filesystem::path deep = Dir() / "sounds";
  for (char c = 'a'; c < 'i'; ++c) deep /= std::string(40, c);
  const std::string longer = PickWave(deep / "铃声.wav");  // longer than 256 bytes
  ChooseSound(kSoundChooseFile);
  EXPECT_EQ(Sound().count(), 4);
  EXPECT_EQ(Sound().currentIndex(), kSoundFileItem);
  EXPECT_EQ(Sound().itemText(kSoundFileItem), pickedFile);
  EXPECT_EQ(setting.soundFile, longer);
  ChooseSound(kSoundNone);
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(setting.soundFile, "");
  ChooseSound(kSoundChooseFile);
  setting.soundFile.clear();
  ChooseSound(kSoundFileItem);  // takes the path back from the item
  Click(kIdOk);
  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  EXPECT_EQ(saved.soundType, kSoundFileItem);
  EXPECT_EQ(saved.soundFile, longer);
  EXPECT_GT(saved.soundFile.size(), 300u);
}

// The alarm choice is the record's at once, so each leaving picks the other of the speaker
// (the default) and none.
TEST_F(DialogRecordTest, LeavingAsksBeforeThrowingEditsAwayAndNoKeepsTheDialogOpen) {
  const std::tuple<const char*, std::function<void()>, bool> edits[] = {
      {"no edit", [] {}, false},
      {"an empty added row", [&] { Click(IDC_BUTTON_ADD); }, false},
      {"an edit undone", [&] { Interval().setText("31"); Interval().setText("30"); }, false},
      {"a port", [&] { Grid().SetItemText(1, 2, "81"); }, true},
      {"a remark", [&] { Grid().SetItemText(1, 3, ""); }, true},
      {"a new endpoint", [&] { Click(IDC_BUTTON_ADD); Grid().SetItemText(2, 1, "h"); }, true},
      {"a deleted endpoint", [&] { SelectRows(1, 1); Click(IDC_BUTTON_DELETE); }, true},
      {"the interval", [&] { Interval().setText("45"); }, true},
      {"the alarm", [&] { ChooseSound(setting.soundType ? kSoundNone : kSoundSpeaker); }, true},
  };
  setting.Append(IPInfo("10.0.0.1", 80, "r"));
  const std::function<void(CSettingDialog&)> leaves[] = {
      [&](CSettingDialog&) { Click(kIdCancel); },
      [&](CSettingDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
      [&](CSettingDialog& dialog) { dialog.close(); },
  };
  for (const auto& [name, edit, asks] : edits) {
    SCOPED_TRACE(name);
    for (const auto& leave : leaves) {
      CSettingDialog& dialog = Open();
      edit();
      boxes.calls.clear();
      boxes.answer = kIdNo;
      leave(dialog);
      ASSERT_EQ(boxes.calls.size(), asks ? 1u : 0u);
      EXPECT_EQ(dialog.isVisible(), asks);
      if (!asks) continue;
      EXPECT_EQ(boxes.calls[0].text, Gbk(u8"放弃修改？"));
      EXPECT_EQ(boxes.calls[0].buttons, MessageButtons::YesNo);
      boxes.answer = kIdYes;
      leave(dialog);
      EXPECT_FALSE(dialog.isVisible());
      EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
  }
  EXPECT_EQ(setting.ipList.size(), 1u);
  EXPECT_EQ(setting.refreshTime, 30);
}

}  // namespace
}  // namespace kelvanor::test
