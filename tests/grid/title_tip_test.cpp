// Title tips: shown exactly while a cell's text is clipped, gone when the pointer leaves
// the cell or a key is pressed, and transparent to clicks, which reach the cell underneath.
#include <algorithm>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

constexpr char kLong[] = "a text far too long for a sixty pixel column";

class TitleTipTest : public GridTest {
 protected:
  // Read by the tip when it is made: two clicks of a test are always one double click.
  void SetUp() override {
    GridTest::SetUp();
    QApplication::setDoubleClickInterval(60000);
    CGridCtrl& grid = Grid(60, true);
    grid.SetItemText(2, 1, kLong);
  }
  void TearDown() override { QApplication::setDoubleClickInterval(interval_); }
  CTitleTip& Tip() { return grid_->GetTitleTip(); }
  // Raw mouse events on the tip at a point of the viewport; what it posts is delivered.
  void OnTip(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
    const QPoint global = grid_->viewport()->mapToGlobal(at);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, Tip().mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&Tip(), &event);
    QCoreApplication::sendPostedEvents();
  }
  void ClickTip(QPoint at) {
    OnTip(QEvent::MouseButtonPress, at, Qt::LeftButton);
    OnTip(QEvent::MouseButtonRelease, at, Qt::LeftButton);
  }
  const int interval_ = QApplication::doubleClickInterval();
};

TEST_F(TitleTipTest, AClippedTextShowsItsWholeTextOverTheCellAndATextThatFitsNone) {
  Hover(At(3, 1));
  EXPECT_FALSE(Tip().isVisible());
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  EXPECT_EQ(Tip().geometry(), QRect(grid_->viewport()->mapToGlobal(QPoint(60, 40)), QSize(230, 19)));
  const QImage tip = Tip().grab().toImage();
  EXPECT_EQ(FromQColor(tip.pixelColor(tip.width() - 3, 3)), GetSysColor(COLOR_INFOBK));
  Tip().HideTip();
  ASSERT_TRUE(grid_->AutoSizeColumn(1));
  Hover(At(2, 1));
  EXPECT_FALSE(Tip().isVisible());
}

TEST_F(TitleTipTest, MovesInsideTheCellKeepTheTipAndLeavingItHidesItAndReachesTheGrid) {
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  OnTip(QEvent::MouseMove, QPoint(119, 59));  // the cell's last pixel, in screen coordinates
  EXPECT_TRUE(Tip().isVisible());
  OnTip(QEvent::MouseMove, QPoint(119, 10));  // out of the cell, on a divider
  EXPECT_FALSE(Tip().isVisible());
  EXPECT_EQ(grid_->GetMouseMode(), MM_OVER_COLUMN_EDGE);
}

TEST_F(TitleTipTest, AFirstClickThroughTheTipSelectsTheCellAndASecondIsADoubleClick) {
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  ClickTip(At(2, 1));
  EXPECT_FALSE(Tip().isVisible());
  EXPECT_EQ(grid_->GetFocusCell(), CCellID(2, 1));
  EXPECT_TRUE(grid_->IsCellSelected(2, 1));
  EXPECT_FALSE(grid_->GetCell(2, 1)->IsEditing());
  Hover(At(2, 1));
  ClickTip(At(2, 1));
  const std::vector<int> codes = spy_.Codes();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), NM_DBLCLK), 1);
  EXPECT_TRUE(grid_->GetCell(2, 1)->IsEditing());  // on the first scrollable column too
}

TEST_F(TitleTipTest, AKeyOrScrollingHidesTheTip) {
  grid_->SetFocusCell(3, 3);
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  Key(Qt::Key_Down);
  EXPECT_FALSE(Tip().isVisible());
  Hover(At(2, 1));
  ASSERT_TRUE(Tip().isVisible());
  grid_->OnVScroll(SB_LINEDOWN);
  EXPECT_FALSE(Tip().isVisible());
}

}  // namespace
}  // namespace kelvanor::testing
