// Leaving the settings dialog by 取消, Escape or its close button: a question first when
// the endpoints, the interval or the alarm were changed, and 否 goes back to editing.
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

struct LeaveCase {
  const char* name;
  std::function<void(SettingDialogTest&)> edit;
  bool asks;
  friend void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.name; }
};

class DialogDiscardTest : public SettingDialogTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(DialogDiscardTest, AsksBeforeThrowingEditsAwayAndNoKeepsTheDialogOpen) {
  const LeaveCase& c = GetParam();
  setting.Append(IPInfo("10.0.0.1", 80, "r"));
  const std::function<void(CSettingDialog&)> leaves[] = {
      [&](CSettingDialog&) { Click(kIdCancel); },
      [&](CSettingDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
      [&](CSettingDialog& dialog) { dialog.close(); },
  };
  for (const auto& leave : leaves) {
    CSettingDialog& dialog = Open();
    c.edit(*this);
    boxes.calls.clear();
    boxes.answer = kIdNo;
    leave(dialog);
    ASSERT_EQ(boxes.calls.size(), c.asks ? 1u : 0u);
    EXPECT_EQ(dialog.isVisible(), c.asks);
    if (!c.asks) continue;
    EXPECT_EQ(boxes.calls[0].text, Gbk(u8"放弃修改？"));
    EXPECT_EQ(boxes.calls[0].buttons, MessageButtons::YesNo);
    boxes.answer = kIdYes;
    leave(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(setting.ipList.size(), 1u);
  EXPECT_EQ(setting.refreshTime, 30);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, DialogDiscardTest,
    ::testing::Values(
        LeaveCase{"NoEditLeavesAtOnce", [](SettingDialogTest&) {}, false},
        LeaveCase{"AnEmptyAddedRowIsNoEdit", [](SettingDialogTest& t) { t.Click(IDC_BUTTON_ADD); }, false},
        LeaveCase{"AnEditUndoneIsNoEdit",
                  [](SettingDialogTest& t) {
                    t.Interval().setText("31");
                    t.Interval().setText("30");
                  },
                  false},
        LeaveCase{"APortEdit", [](SettingDialogTest& t) { t.Grid().SetItemText(1, 2, "81"); }, true},
        LeaveCase{"ARemarkEdit", [](SettingDialogTest& t) { t.Grid().SetItemText(1, 3, ""); }, true},
        LeaveCase{"ANewEndpoint",
                  [](SettingDialogTest& t) {
                    t.Click(IDC_BUTTON_ADD);
                    t.Grid().SetItemText(2, 1, "h");
                  },
                  true},
        LeaveCase{"ADeletedEndpoint",
                  [](SettingDialogTest& t) {
                    t.SelectRows(1, 1);
                    t.Click(IDC_BUTTON_DELETE);
                  },
                  true},
        LeaveCase{"TheInterval", [](SettingDialogTest& t) { t.Interval().setText("45"); }, true},
        LeaveCase{"TheAlarm",  // the choice is the record's at once, so each round picks the other
                  [](SettingDialogTest& t) {
                    t.ChooseSound(t.setting.soundType == kSoundNone ? kSoundSpeaker : kSoundNone);
                  },
                  true}),
    [](const ::testing::TestParamInfo<LeaveCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvanor::test
