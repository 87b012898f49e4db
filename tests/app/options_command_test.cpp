// 选项 → 选项设置: OK stores the options in setting.xml and puts them into effect; where
// the desktop has no tray, closing the window still quits.
#include <QAction>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "app/command_ids.h"
#include "app/options_control.h"
#include "settings/options_dialog.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

TEST_F(ShellTest, OptionsDialogOkSavesTheElementAndTheViewUsesIt) {
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<COptionsDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QSpinBox*>()->setValue(3);
    dialog->accept();
  });
  Frame().Action(ID_OPTIONS)->trigger();
  EXPECT_EQ(View().Setting().options.failuresBeforeAlarm, 3);
  EXPECT_NE(ReadFile().find("<Options failuresBeforeAlarm=\"3\"/>"), std::string::npos) << ReadFile();
}

TEST_F(ShellTest, HiddenOnCloseOnlyWithATrayAndExitStillCloses) {
  ASSERT_FALSE(TrayPresence::Available());  // the offscreen desktop has none
  View().Setting().options.trayIcon = true;
  Frame().findChild<OptionsControl*>()->Apply();
  EXPECT_EQ(Frame().findChild<OptionsControl*>()->Tray(), nullptr);
  Frame().show();
  EXPECT_TRUE(Frame().close());
  Frame().SetHideOnClose(true);  // as a tray would have it
  Frame().show();
  EXPECT_FALSE(Frame().close());
  EXPECT_FALSE(Frame().isVisible());
  Frame().show();
  EXPECT_TRUE(Frame().Exit());
}

}  // namespace
}  // namespace kelvanor::test
