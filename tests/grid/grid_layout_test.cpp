// Cell rectangles, hit tests, visible ranges, scroll bars, scrolling, the wheel and
// EnsureVisible, including a 100,000-row grid and positions beyond the Qt bar's range.
#include <QScrollBar>
#include <QWheelEvent>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridLayoutTest : public GridTest {};

TEST_F(GridLayoutTest, RectanglesAreInclusiveForFixedAndScrolledCells) {
  CGridCtrl& grid = MakeFilledGrid(50, 10, 1, 1);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(0, 0, &rect));
  EXPECT_EQ(rect, (GdiRect{0, 0, 59, 19}));
  ASSERT_TRUE(grid.GetCellRect(3, 2, &rect));
  EXPECT_EQ(rect, (GdiRect{120, 60, 179, 79}));

  grid.SetScrollPosition(SB_VERT, 30);  // row 2 is partly scrolled out, so row 3 comes first
  grid.SetScrollPosition(SB_HORZ, 60);
  EXPECT_EQ(grid.GetFirstScrolledCell(), CCellID(3, 2));
  ASSERT_TRUE(grid.GetCellRect(3, 2, &rect));
  EXPECT_EQ(rect, (GdiRect{60, 20, 119, 39}));
  ASSERT_TRUE(grid.GetCellRect(3, 0, &rect));
  EXPECT_EQ(rect, (GdiRect{0, 20, 59, 39}));
  ASSERT_TRUE(grid.GetCellRect(0, 4, &rect));
  EXPECT_EQ(rect, (GdiRect{180, 0, 239, 19}));
  EXPECT_FALSE(grid.GetCellRect(2, 2, &rect));
  EXPECT_FALSE(grid.GetCellRect(3, 1, &rect));
  EXPECT_EQ(grid.PointRelativeToCell(3, 2, QPoint(70, 25)), QPoint(10, 5));
  EXPECT_EQ(grid.PointRelativeToCell(2, 2, QPoint(70, 25)), QPoint(0, 0));
}

struct Hit {
  const char* name;
  QPoint point;
  bool allowFixed;
  CCellID cell;
};

class GridHitTest : public GridTest, public ::testing::WithParamInterface<Hit> {};

TEST_P(GridHitTest, FindsTheCellUnderAPoint) {
  CGridCtrl& grid = MakeFilledGrid(5, 4, 1, 1);
  grid.SetColumnWidth(2, 0);  // hidden columns take no room
  EXPECT_EQ(grid.HitTestCell(GetParam().point, GetParam().allowFixed), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    Points, GridHitTest,
    ::testing::Values(Hit{"Corner", {0, 0}, true, {0, 0}}, Hit{"LastPixelOfTheCorner", {59, 19}, true, {0, 0}},
                      Hit{"FirstScrolledCell", {60, 20}, true, {1, 1}},
                      Hit{"SkipsTheHiddenColumn", {125, 45}, true, {2, 3}},
                      Hit{"RightOfTheLastColumn", {180, 30}, true, {1, -1}},
                      Hit{"BelowTheLastRow", {70, 100}, true, {-1, 1}},
                      Hit{"FixedBandRefused", {10, 30}, false, {1, -1}},
                      Hit{"FixedRowRefused", {70, 10}, false, {-1, 1}},
                      Hit{"NegativePoint", {-1, -1}, true, {-1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridLayoutTest, VisibleRangesStopAtTheClientEdges) {
  CGridCtrl& grid = MakeFilledGrid(50, 10, 1, 1, 60, 20, 400, 300);
  GdiRect rect;
  const CCellBlock visible = grid.GetVisibleScrollingCells(&rect);
  const GdiRect client = grid.GetClientRect();
  EXPECT_EQ(visible.minRow, 1);
  EXPECT_EQ(visible.minCol, 1);
  EXPECT_EQ(visible.maxRow, (client.bottom - 20 + 19) / 20);   // the row cut by the bottom edge counts
  EXPECT_EQ(visible.maxCol, (client.right - 60 + 59) / 60);
  EXPECT_EQ(rect, (GdiRect{0, 0, client.right, client.bottom}));

  grid.SetFixedColumnCount(2);
  const CCellBlock header = grid.GetVisibleHeaderCells(&rect);
  EXPECT_EQ(header.minCol, 0);
  EXPECT_EQ(header.maxCol, 2);  // fixed columns end before the client edge: the fixed count
  EXPECT_EQ(rect.right, 120);
}

TEST_F(GridLayoutTest, CellsAreVisibleWhenTheirCornerIsInsideTheClientArea) {
  CGridCtrl& grid = MakeFilledGrid(50, 10, 1, 1, 60, 20, 400, 300);
  const GdiRect client = grid.GetClientRect();
  const int lastRow = (client.bottom - 20 + 19) / 20;
  EXPECT_TRUE(grid.IsCellVisible(lastRow, 1));
  EXPECT_FALSE(grid.IsCellVisible(lastRow + 1, 1));
  grid.SetScrollPosition(SB_VERT, 20);
  EXPECT_FALSE(grid.IsCellVisible(1, 1));
  EXPECT_TRUE(grid.IsCellVisible(0, 1));
  EXPECT_FALSE(grid.IsCellVisible(50, 1));
}

TEST_F(GridLayoutTest, BarsAppearOnlyForContentLargerThanTheView) {
  CGridCtrl& grid = MakeGrid(400, 300);
  const int thickness = grid.verticalScrollBar()->sizeHint().width();
  grid.SetRowCount(1);
  grid.SetColumnCount(1);
  grid.SetRowHeight(0, 300);
  grid.SetColumnWidth(0, 400 - thickness);
  EXPECT_FALSE(grid.IsScrollBarShown(SB_VERT));
  EXPECT_FALSE(grid.IsScrollBarShown(SB_HORZ));

  grid.SetRowCount(0);
  grid.SetRowCount(1);
  grid.SetColumnWidth(0, 400 - thickness + 1);
  grid.SetRowHeight(0, 301);  // one pixel too tall: the vertical bar comes, and takes width
  EXPECT_TRUE(grid.IsScrollBarShown(SB_VERT));
  EXPECT_TRUE(grid.IsScrollBarShown(SB_HORZ));
  EXPECT_TRUE(grid.verticalScrollBar()->isVisible());
  EXPECT_EQ(grid.GetClientRect().right, 400 - thickness);
}

TEST_F(GridLayoutTest, FixedAreaWiderThanTheClientHidesBothBarsUntilItGrows) {
  CGridCtrl& grid = MakeFilledGrid(40, 16, 1, 8, 60, 20, 400, 300);
  EXPECT_FALSE(grid.IsScrollBarShown(SB_VERT));
  EXPECT_FALSE(grid.IsScrollBarShown(SB_HORZ));
  grid.resize(900, 300);
  QCoreApplication::processEvents();
  EXPECT_TRUE(grid.IsScrollBarShown(SB_VERT));
  EXPECT_TRUE(grid.IsScrollBarShown(SB_HORZ));
  EXPECT_EQ(grid.verticalScrollBar()->isVisible(), true);
}

TEST_F(GridLayoutTest, LineScrollingSkipsHiddenRowsAndStopsAtTheEnd) {
  CGridCtrl& grid = MakeFilledGrid(60, 3, 1, 1);
  grid.SetRowHeight(2, 0);
  grid.SetRowHeight(3, 0);
  grid.OnVScroll(SB_LINEDOWN);
  grid.OnVScroll(SB_LINEDOWN);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 40);
  EXPECT_EQ(grid.GetFirstScrolledCell().row, 5);
  grid.OnVScroll(SB_LINEUP);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 20);

  grid.OnVScroll(SB_BOTTOM);
  const std::int64_t end = grid.GetScrollPosition(SB_VERT);
  EXPECT_EQ(end, grid.GetScrollLimit(SB_VERT));
  grid.OnVScroll(SB_LINEDOWN);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), end);
  grid.OnVScroll(SB_PAGEUP);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), end - (grid.GetClientRect().bottom - 20));
  grid.OnVScroll(SB_TOP);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 0);
}

TEST_F(GridLayoutTest, QtBarActionsRunTheGridsOwnArithmetic) {
  CGridCtrl& grid = MakeFilledGrid(30, 3, 1, 1);
  grid.SetRowHeight(1, 35);
  grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 35);
  EXPECT_EQ(grid.verticalScrollBar()->value(), 35);
  grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), grid.GetScrollLimit(SB_VERT));
}

TEST_F(GridLayoutTest, WheelPostsLineScrollsPerNotch) {
  CGridCtrl& grid = MakeFilledGrid(60, 3, 1, 1);
  QWheelEvent down(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid.viewport(), &down);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 0);  // posted, not yet run
  QCoreApplication::processEvents();
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 60);
  EXPECT_EQ(grid.GetFirstScrolledCell().row, 4);
}

TEST_F(GridLayoutTest, WheelWithThePageSettingScrollsAPage) {
  CGridCtrl& grid = MakeFilledGrid(60, 3, 1, 1);
  EXPECT_EQ(grid.GetRowsPerWheelNotch(), 3);
  grid.SetRowsPerWheelNotch(-1);
  QWheelEvent down(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid.viewport(), &down);
  QCoreApplication::processEvents();
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), grid.GetClientRect().bottom - 20);
}

TEST_F(GridLayoutTest, EnsureVisibleBringsACellFullyIntoView) {
  CGridCtrl& grid = MakeFilledGrid(60, 12, 1, 1);
  grid.SetRowHeight(20, 0);
  grid.EnsureVisible(40, 9);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(40, 9, &rect));
  const GdiRect client = grid.GetClientRect();
  EXPECT_LE(rect.bottom, client.bottom);
  EXPECT_LE(rect.right, client.right);
  EXPECT_GT(rect.bottom + 20, client.bottom);  // no further than needed
  grid.EnsureVisible(2, 1);
  EXPECT_EQ(grid.GetFirstScrolledCell(), CCellID(2, 1));
}

TEST_F(GridLayoutTest, EnsureVisibleOfACellWiderThanTheViewEnds) {
  CGridCtrl& grid = MakeFilledGrid(3, 4, 1, 1);
  grid.SetColumnWidth(3, 2000);
  grid.EnsureVisible(1, 3);
  EXPECT_EQ(grid.GetFirstScrolledCell().col, 3);
}

class GridManyRowsTest : public GridTest {
 protected:
  CGridCtrl& MakeManyRows(int rowHeight) {
    CGridCtrl& grid = MakeGrid(400, 300);
    grid.SetRowCount(100001);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int c = 0; c < 4; ++c) grid.SetColumnWidth(c, 80);
    if (rowHeight > 0)
      for (int r = 1; r <= 100000; ++r) grid.SetRowHeight(r, rowHeight);
    grid.SetItemBackColor(100000, 2, RGB(255, 0, 0));
    return grid;
  }

  // The last row is the bottom of the view, and painted where its rectangle says.
  void ExpectLastRowShown(CGridCtrl& grid) {
    const CCellBlock visible = grid.GetVisibleScrollingCells();
    EXPECT_EQ(visible.maxRow, 100000);
    GdiRect rect;
    ASSERT_TRUE(grid.GetCellRect(100000, 2, &rect));
    const GdiRect client = grid.GetClientRect();
    ASSERT_LT(rect.top, client.bottom);
    const QImage image = Render();
    const int y = std::min(rect.bottom, client.bottom - 1);
    EXPECT_EQ(PixelAt(image, rect.left + 5, y - 1), RGB(255, 0, 0));
    EXPECT_NE(PixelAt(image, rect.left - 20, y - 1), RGB(255, 0, 0));
  }
};

TEST_F(GridManyRowsTest, ScrollingToTheEndOfAHundredThousandRows) {
  CGridCtrl& grid = MakeManyRows(0);
  grid.OnVScroll(SB_BOTTOM);
  ExpectLastRowShown(grid);
  grid.OnVScroll(SB_TOP);
  grid.EnsureVisible(100000, 2);
  ExpectLastRowShown(grid);
}

TEST_F(GridManyRowsTest, PositionsBeyondTheQtBarRangeAreScaled) {
  CGridCtrl& grid = MakeManyRows(25000);  // 2.5e9 pixels: more than an int scroll bar holds
  ASSERT_GT(grid.GetTotalHeight(), std::int64_t{INT32_MAX});
  QScrollBar* bar = grid.verticalScrollBar();
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), grid.GetScrollLimit(SB_VERT));
  ExpectLastRowShown(grid);

  bar->setSliderDown(true);
  bar->setSliderPosition(bar->maximum() / 2);
  bar->setSliderDown(false);
  const std::int64_t middle = grid.GetScrollPosition(SB_VERT);
  EXPECT_NEAR(static_cast<double>(middle) / grid.GetScrollLimit(SB_VERT), 0.5, 0.01);
  bar->setSliderDown(true);
  bar->setSliderPosition(bar->maximum());
  bar->setSliderDown(false);
  ExpectLastRowShown(grid);
}

}  // namespace
}  // namespace kelvanor::testing
