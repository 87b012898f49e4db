// The settings dialog under a real X server (Xvfb), where a window can really hold the
// pointer and windows stack as they do on the operator's screen: each test runs itself
// again on that display and the copy drives the dialog with the server's own pointer.
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "tests/common/x_pointer.h"
#include "tests/common/xvfb.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class RealXDialogTest : public SettingDialogTest {
 protected:
  // True in the copy on the private display, which goes on with the test; false after
  // the copy has run (its outcome is this test's) or when no display could be had.
  bool OnXvfb() {
    if (qEnvironmentVariableIsSet("KELVANOR_TEST_ON_XVFB")) {
      pointer_.emplace();
      return true;
    }
    testing::Xvfb xvfb;
    if (!xvfb.IsUp()) {
      Skip(xvfb.Problem());
      return false;
    }
    QProcessEnvironment environment = xvfb.Environment();
    environment.insert("KELVANOR_TEST_ON_XVFB", "1");
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    copy.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    EXPECT_TRUE(copy.waitForFinished(60000)) << "the copy on Xvfb did not finish";
    const QString output = QString::fromLocal8Bit(copy.readAll());
    EXPECT_TRUE(copy.exitCode() == 0 && output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return false;
  }
  // The open dialog made modal, as the program runs it, and active.
  QDialog& Activate() {
    QDialog& dialog = *static_cast<QDialog*>(Grid().window());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    return dialog;
  }
  // A cell of the grid, in screen coordinates.
  QRect CellOnScreen(int row, int col) {
    GdiRect cell;
    EXPECT_TRUE(Grid().GetCellRect(row, col, &cell));
    return QRect(Grid().viewport()->mapToGlobal(QPoint(cell.left, cell.top)),
                 Grid().viewport()->mapToGlobal(QPoint(cell.right, cell.bottom)));
  }
  // Rests the pointer on a point of a cell with a clipped text, coming from another cell,
  // and waits for the tip.
  bool ShowTipAt(QPoint at, QPoint from) {
    pointer_->MoveTo(from);
    testing::Pump(50);
    pointer_->MoveTo(at);
    return testing::WaitFor([&] { return Tip().isVisible(); });
  }
  const CTitleTip& Tip() { return Grid().GetTitleTip(); }

  std::optional<testing::XPointer> pointer_;  // in the copy, on the private server

 private:
  static void Skip(const char* why) { GTEST_SKIP() << why; }
};

TEST_F(RealXDialogTest, ATitleTipLeavesThePointerFreeSoAClickOnCancelClosesTheDialog) {
  if (!OnXvfb()) return;
  setting.Append(IPInfo("10.0.0.1", 80, std::string(80, 'w')));
  Open();
  QDialog& dialog = Activate();
  ASSERT_TRUE(pointer_->IsConnected());
  pointer_->MoveTo(CellOnScreen(1, 3).center());
  ASSERT_TRUE(testing::WaitFor([&] { return Tip().isVisible(); }));
  testing::Pump(100);  // the grid saw the pointer go onto the tip: it stays
  EXPECT_TRUE(Tip().isVisible());
  EXPECT_TRUE(pointer_->IsFree());
  QPushButton* cancel = dialog.findChildren<QPushButton*>().value(1);
  ASSERT_EQ(cancel->text(), QStringLiteral("取消"));
  pointer_->MoveTo(cancel->mapToGlobal(cancel->rect().center()));
  EXPECT_TRUE(testing::WaitFor([&] { return !Tip().isVisible(); }));
  pointer_->Click();
  EXPECT_TRUE(testing::WaitFor([&] { return !dialog.isVisible(); }));
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Regression: the release of a click on the tip reached nothing once the tip was gone, so
// the grid went on selecting rows as the pointer moved with no button down.
TEST_F(RealXDialogTest, AClickOnATitleTipSelectsTheCellBeneathAndEndsThere) {
  if (!OnXvfb()) return;
  OpenWith(3);
  Grid().SetItemText(1, 3, std::string(80, 'w'));
  Activate();
  ASSERT_TRUE(ShowTipAt(CellOnScreen(1, 3).center(), CellOnScreen(2, 3).center()));
  pointer_->Click();
  ASSERT_TRUE(testing::WaitFor([&] { return Grid().GetFocusCell() == CCellID(1, 3); }));
  pointer_->MoveTo(CellOnScreen(3, 3).center());
  testing::Pump(100);
  EXPECT_EQ(std::tuple(Grid().IsCellSelected(1, 3), Grid().IsCellSelected(3, 3), Grid().GetMouseMode()),
            std::tuple(true, false, MM_IDLE));
}

// The tip of the last row, which the grid shows only in part, reaches past the grid's
// bottom edge over the dialog. From a point on it over the shown cell the pointer goes
// just off it on each side, or onto its part past the grid. Regression: below the grid the
// tip stayed, the pointer being within the cell's hidden part.
TEST_F(RealXDialogTest, ATitleTipGoesWhenThePointerLeavesItOnAnySide) {
  if (!OnXvfb()) return;
  OpenWith(14);
  Activate();
  const QRect viewport(Grid().viewport()->mapToGlobal(QPoint(0, 0)), Grid().viewport()->size());
  int row = 1;
  while (row < Grid().GetRowCount() - 1 && CellOnScreen(row, 3).bottom() <= viewport.bottom()) ++row;
  const QRect shown = CellOnScreen(row, 3) & viewport;
  ASSERT_TRUE(shown.height() >= 3 && shown.bottom() < CellOnScreen(row, 3).bottom()) << "no row cut by the edge";
  Grid().SetItemText(row, 3, std::string(40, 'w'));
  const QPoint start(shown.left() + 20, shown.bottom() - 1);
  ASSERT_TRUE(ShowTipAt(start, CellOnScreen(row - 1, 2).center()));
  const QRect tip = Tip().geometry();
  ASSERT_LT(tip.right() + 1, Grid().screen()->geometry().right()) << "the tip must end on the screen";
  const std::pair<const char*, QPoint> ways[] = {
      {"above", QPoint(start.x(), tip.top() - 1)},
      {"left", QPoint(tip.left() - 1, start.y())},
      {"right", QPoint(tip.right() + 1, start.y())},
      {"below", QPoint(start.x(), tip.bottom() + 1)},
      {"onto its part past the grid", QPoint(start.x(), viewport.bottom() + 2)},
  };
  for (const auto& [way, to] : ways) {
    ASSERT_TRUE(ShowTipAt(start, CellOnScreen(row - 1, 2).center())) << way;
    pointer_->MoveTo(to);
    EXPECT_TRUE(testing::WaitFor([&] { return !Tip().isVisible(); }, 2000)) << way;
  }
}

}  // namespace
}  // namespace kelvanor::test
