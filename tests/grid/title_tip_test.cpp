// Title tips: shown exactly while a cell's text is clipped, gone when the pointer leaves
// the cell, and transparent to clicks, which reach the cell underneath.
#include <algorithm>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

constexpr char kLong[] = "a text far too long for a sixty pixel column";

class TitleTipTest : public GridTest {
 protected:
  CGridCtrl& Grid() {
    // Read by the tip at construction: two clicks of a test are always one double click.
    QApplication::setDoubleClickInterval(60000);
    CGridCtrl& grid = MakeFilledGrid(10, 5, 1, 1);
    grid.SetItemText(2, 2, kLong);
    Activate();
    return grid;
  }
  CTitleTip& Tip() { return grid_->GetTitleTip(); }
  // The tip's posted events reach the grid on the next turn of the event loop.
  static void Deliver() { QCoreApplication::sendPostedEvents(); }
  void ClickTip(QPoint global) {
    const QPoint local = Tip().mapFromGlobal(global);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Tip(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Tip(), &release);
    Deliver();
  }
};

TEST_F(TitleTipTest, AClippedTextShowsItsTipOverTheCellText) {
  CGridCtrl& grid = Grid();
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  EXPECT_EQ(Tip().pos(), grid.viewport()->mapToGlobal(QPoint(120, 40)));
  EXPECT_EQ(Tip().height(), 19);
  MeasureDC measure;
  measure.dc()->SelectFont(FontFromLogFont(*grid.GetCell(2, 2)->GetFont()));
  EXPECT_EQ(Tip().width(), measure.dc()->GetTextExtent(std::string(" ") + kLong + " ").width());
  const QImage tip = Tip().grab().toImage();
  EXPECT_EQ(FromQColor(tip.pixelColor(tip.width() - 3, 3)), GetSysColor(COLOR_INFOBK));
}

TEST_F(TitleTipTest, ATextThatFitsShowsNoTip) {
  Grid();
  Hover(At(3, 2));
  EXPECT_FALSE(Tip().isVisible());
}

TEST_F(TitleTipTest, TheTipIsGoneOnceTheColumnIsWideEnough) {
  CGridCtrl& grid = Grid();
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  Tip().HideTip();
  ASSERT_TRUE(grid.AutoSizeColumn(2));
  Hover(At(2, 2));
  EXPECT_FALSE(Tip().isVisible());
}

TEST_F(TitleTipTest, LeavingTheCellHidesTheTipAndTheGridSeesTheMove) {
  CGridCtrl& grid = Grid();
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  const QPoint inside = grid.viewport()->mapToGlobal(QPoint(179, 59));
  QMouseEvent stay(QEvent::MouseMove, Tip().mapFromGlobal(inside), inside, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&Tip(), &stay);
  EXPECT_TRUE(Tip().isVisible());
  const QPoint divider = grid.viewport()->mapToGlobal(QPoint(179, 10));  // out of the cell, on a divider
  QMouseEvent leave(QEvent::MouseMove, Tip().mapFromGlobal(divider), divider, Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&Tip(), &leave);
  EXPECT_FALSE(Tip().isVisible());
  Deliver();
  EXPECT_EQ(grid.GetMouseMode(), MM_OVER_COLUMN_EDGE);
}

TEST_F(TitleTipTest, AClickThroughTheTipSelectsTheCellAndASecondOneIsADoubleClick) {
  CGridCtrl& grid = Grid();
  NotifySpy spy;
  grid.SetNotifyHandler(&spy);
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  const QPoint onText = grid.viewport()->mapToGlobal(At(2, 2));
  ClickTip(onText);
  EXPECT_FALSE(Tip().isVisible());
  EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
  EXPECT_TRUE(grid.IsCellSelected(2, 2));
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  ClickTip(onText);
  const std::vector<int> codes = spy.Codes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), NM_DBLCLK), codes.end());
  EXPECT_TRUE(grid.GetCell(2, 2)->IsEditing());
  EXPECT_FALSE(Tip().isVisible());
}

TEST_F(TitleTipTest, ScrollingOrAKeyHidesTheTip) {
  CGridCtrl& grid = MakeFilledGrid(60, 5, 1, 1);
  grid.SetItemText(2, 2, kLong);
  Activate();
  grid.SetFocusCell(3, 3);
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  Key(Qt::Key_Down);
  EXPECT_FALSE(Tip().isVisible());
  Hover(At(2, 2));
  ASSERT_TRUE(Tip().isVisible());
  grid.OnVScroll(SB_LINEDOWN);
  EXPECT_FALSE(Tip().isVisible());
}

}  // namespace
}  // namespace kelvanor::testing
