// Title tips: shown exactly while a cell's text is clipped, no wider than the screen, gone
// when the pointer leaves the cell or a key is pressed, and transparent to clicks, which
// reach the cell underneath.
#include <QScreen>

#include <algorithm>
#include <climits>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class TitleTipTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    // Read by the tip when made: any two clicks are one double click, a first one too unless told apart.
    QApplication::setDoubleClickInterval(INT_MAX);
    Grid(60, true).SetItemText(2, 1, "a text far too long for a sixty pixel column");
    Hover(At(2, 1));
    ASSERT_TRUE(Tip().isVisible());
  }
  void TearDown() override { QApplication::setDoubleClickInterval(interval_); }
  CTitleTip& Tip() { return grid_->GetTitleTip(); }
  const int interval_ = QApplication::doubleClickInterval();
};

TEST_F(TitleTipTest, AClippedTextShowsItsWholeTextOverTheCellAndATextThatFitsNone) {
  EXPECT_EQ(Tip().geometry(), QRect(grid_->viewport()->mapToGlobal(QPoint(60, 40)), QSize(230, 19)));
  const QImage tip = Tip().grab().toImage();
  EXPECT_EQ(FromQColor(tip.pixelColor(tip.width() - 3, 3)), GetSysColor(COLOR_INFOBK));
  Tip().HideTip();
  ASSERT_TRUE(grid_->AutoSizeColumn(1));  // now the text fits
  Hover(At(2, 1));
  EXPECT_FALSE(Tip().isVisible());
}

// A megabyte text once made a tip megapixels wide, all measured and painted.
TEST_F(TitleTipTest, AHugeTextsTipEndsAtTheScreensEdgeAndShowsTheTextsStart) {
  grid_->SetItemText(2, 1, std::string(50000, 'W'));
  Hover(At(5, 3));
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  EXPECT_EQ(Tip().geometry().right(), grid_->screen()->geometry().right());
  const QImage shown = Tip().grab().toImage();
  int inked = 0;  // the first W, after the leading blank
  for (int x = 1; x < 20; ++x)
    for (int y = 1; y < shown.height() - 1; ++y) inked += FromQColor(shown.pixelColor(x, y)) != GetSysColor(COLOR_INFOBK);
  EXPECT_GT(inked, 0);
}

TEST_F(TitleTipTest, MovesInsideTheCellKeepTheTipWhileLeavingItOrAKeyHideIt) {
  Mouse(QEvent::MouseMove, QPoint(119, 58), {}, {}, &Tip());  // the tip's last pixel over the cell
  EXPECT_TRUE(Tip().isVisible());
  Hover(QPoint(119, 59));  // the cell's grid line, which the tip leaves bare: no tip there
  EXPECT_FALSE(Tip().isVisible());
  Hover(At(2, 1));
  Mouse(QEvent::MouseMove, QPoint(119, 10), {}, {}, &Tip());  // off the cell, on a divider the grid sees
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(std::pair(Tip().isVisible(), grid_->GetMouseMode()), std::pair(false, MM_OVER_COLUMN_EDGE));
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  Key(Qt::Key_Down);
  EXPECT_FALSE(Tip().isVisible());
}

// The press reaches the tip's window, the release the window beneath: the tip is gone by then.
TEST_F(TitleTipTest, AFirstClickThroughTheTipSelectsTheCellAndOnlyASecondIsADoubleClick) {
  const QPoint onCell = grid_->viewport()->mapToGlobal(At(2, 1));
  for (bool second : {false, true}) {
    Hover(At(2, 1));
    QTest::mousePress(Tip().windowHandle(), Qt::LeftButton, {}, Tip().mapFromGlobal(onCell));
    QTest::mouseRelease(grid_->windowHandle(), Qt::LeftButton, {}, grid_->mapFromGlobal(onCell));
    QCoreApplication::sendPostedEvents();  // what the tip posts waits
    EXPECT_FALSE(Tip().isVisible());
    EXPECT_EQ(std::pair(grid_->GetFocusCell(), grid_->IsCellSelected(2, 1)), std::pair(CCellID(2, 1), true));
    const std::vector<int> codes = spy_.Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), NM_DBLCLK), second ? 1 : 0);
    EXPECT_EQ(grid_->GetCell(2, 1)->IsEditing(), second);  // the first scrollable column edits too
    if (second) break;
    Hover(At(4, 1));
    EXPECT_EQ(std::pair(grid_->GetMouseMode(), grid_->IsCellSelected(4, 1)), std::pair(MM_IDLE, false));
  }
}

}  // namespace
}  // namespace kelvanor::testing
