// The 选项 menu: 选项设置 stores the options in setting.xml and puts them into effect (where
// the desktop has no tray, closing the window still quits); 静音 and Ctrl+M move the check
// item, the view's silence and "静音" in the status bar together.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
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

TEST_F(ShellTest, SilenceCommandFollowsTheViewBothWaysAndShowsInTheStatusBar) {
  Frame().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
  QAction* silence = Frame().Action(ID_SILENCE);
  const QMenu* options = Frame().menuBar()->actions().at(2)->menu();
  EXPECT_EQ(options->title(), QString::fromUtf8(u8"选项(&O)"));
  EXPECT_TRUE(options->actions().contains(silence));
  const QLabel* shown = Frame().statusBar()->findChild<QLabel*>("silenceIndicator");
  QTest::keyClick(&Frame(), Qt::Key_M, Qt::ControlModifier);
  EXPECT_TRUE(View().Silenced() && silence->isChecked() && shown->isVisible());
  View().SetSilenced(false);  // as the next change ends it
  EXPECT_FALSE(silence->isChecked() || shown->isVisible());
}

}  // namespace
}  // namespace kelvanor::test
