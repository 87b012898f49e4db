// 选项 → 静音 and Ctrl+M: the check item, the view's silence and "静音" in the status bar
// move together, whichever of them changes it.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include "app/command_ids.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

TEST_F(ShellTest, SilenceCommandFollowsTheViewBothWaysAndShowsInTheStatusBar) {
  Frame().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
  QAction* silence = Frame().Action(ID_SILENCE);
  const QMenu* options = Frame().menuBar()->actions().at(2)->menu();
  EXPECT_EQ(options->title(), QString::fromUtf8(u8"选项(&O)"));
  EXPECT_TRUE(options->actions().contains(silence));
  const QLabel* shown = Frame().statusBar()->findChild<QLabel*>("silenceIndicator");
  QTest::keyClick(&Frame(), Qt::Key_M, Qt::ControlModifier);
  EXPECT_TRUE(View().Silenced());
  EXPECT_TRUE(silence->isChecked());
  EXPECT_TRUE(shown->isVisible());
  View().SetSilenced(false);  // as the next change ends it
  EXPECT_FALSE(silence->isChecked());
  EXPECT_FALSE(shown->isVisible());
}

}  // namespace
}  // namespace kelvanor::test
