// Cell rectangles, hit tests, visible ranges, scroll bars, scrolling, the wheel and
// EnsureVisible, up to 100,000 rows and positions beyond the Qt bar's range.
#include <QScrollBar>
#include <QWheelEvent>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridLayoutTest = GridTest;

TEST_F(GridLayoutTest, RectanglesAreInclusiveAndCellsVisibleWhileTheirCornerIsInTheClientArea) {
  CGridCtrl& grid = MakeFilledGrid(50, 10, 1, 1);  // both bars: a 386 x 286 client area
  GdiRect rect;
  EXPECT_EQ(grid.GetVisibleScrollingCells(&rect), CCellBlock(1, 1, 14, 6));
  EXPECT_EQ(rect, (GdiRect{0, 0, 386, 286}));
  EXPECT_TRUE(grid.IsCellVisible(14, 1) && !grid.IsCellVisible(15, 1));
  grid.SetScrollPosition(SB_VERT, 30);  // row 2 is partly scrolled out, so row 3 comes first
  grid.SetScrollPosition(SB_HORZ, 60);
  EXPECT_EQ(grid.GetFirstScrolledCell(), CCellID(3, 2));
  for (const auto& [row, col, expected] : {std::tuple{3, 2, GdiRect{60, 20, 119, 39}}, {0, 4, {180, 0, 239, 19}}}) {
    ASSERT_TRUE(grid.GetCellRect(row, col, &rect));
    EXPECT_EQ(rect, expected);
  }
  EXPECT_FALSE(grid.GetCellRect(2, 2, &rect) || grid.GetCellRect(3, 1, &rect) || grid.IsCellVisible(2, 1));
  EXPECT_EQ(grid.PointRelativeToCell(3, 2, QPoint(70, 25)), QPoint(10, 5));
  EXPECT_EQ(grid.PointRelativeToCell(2, 2, QPoint(70, 25)), QPoint(0, 0));
  grid.SetFixedColumnCount(2);
  EXPECT_EQ(grid.GetVisibleHeaderCells(&rect).maxCol, 2);  // the fixed count: they end inside
  EXPECT_EQ(rect.right, 120);
}

TEST_F(GridLayoutTest, HitTestsFindTheCellUnderAPoint) {
  CGridCtrl& grid = MakeFilledGrid(5, 4, 1, 1);
  grid.SetColumnWidth(2, 0);  // hidden columns take no room
  const std::tuple<QPoint, bool, CCellID> hits[] = {
      {{59, 19}, true, {0, 0}},  {{60, 20}, true, {1, 1}},    {{125, 45}, true, {2, 3}},  {{180, 30}, true, {1, -1}},
      {{70, 100}, true, {-1, 1}}, {{10, 30}, false, {1, -1}}, {{70, 10}, false, {-1, 1}}, {{-1, -1}, true, {-1, -1}}};
  for (const auto& [point, allowFixed, cell] : hits)
    EXPECT_EQ(grid.HitTestCell(point, allowFixed), cell) << point.x() << "," << point.y() << " " << allowFixed;
}

TEST_F(GridLayoutTest, BarsAppearOnlyForContentLargerThanTheView) {
  CGridCtrl& grid = MakeGrid();
  const int thickness = grid.verticalScrollBar()->sizeHint().width();
  grid.SetRowCount(1);
  grid.SetColumnCount(1);
  grid.SetRowHeight(0, 300);
  grid.SetColumnWidth(0, 400 - thickness);
  EXPECT_FALSE(grid.IsScrollBarShown(SB_VERT) || grid.IsScrollBarShown(SB_HORZ));
  grid.SetColumnWidth(0, 400 - thickness + 1);
  grid.SetRowHeight(0, 301);  // one pixel too tall: the vertical bar comes, and takes width
  EXPECT_TRUE(grid.IsScrollBarShown(SB_VERT) && grid.IsScrollBarShown(SB_HORZ));
  EXPECT_TRUE(grid.verticalScrollBar()->isVisible());
  EXPECT_EQ(grid.GetClientRect().right, 400 - thickness);
  MakeFilledGrid(40, 16, 1, 8);  // the fixed columns are wider than the view: no bars until it grows
  EXPECT_FALSE(grid_->IsScrollBarShown(SB_VERT) || grid_->IsScrollBarShown(SB_HORZ));
  grid_->resize(900, 300);
  EXPECT_TRUE(grid_->IsScrollBarShown(SB_VERT) && grid_->IsScrollBarShown(SB_HORZ));
}

TEST_F(GridLayoutTest, ScrollingSkipsHiddenRowsAndStopsAtTheEnds) {
  CGridCtrl& grid = Grid(60);
  grid.SetRowHeight(2, 0);
  grid.SetRowHeight(3, 0);
  std::vector<std::int64_t> positions;
  for (int code : {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP, SB_BOTTOM, SB_LINEDOWN, SB_PAGEUP, SB_TOP}) {
    grid.OnVScroll(code);
    positions.push_back(grid.GetScrollPosition(SB_VERT));
  }
  const std::int64_t end = 57 * 20 - 280;  // the shown rows below the fixed one, less the view
  EXPECT_EQ(positions, (std::vector<std::int64_t>{20, 40, 20, end, end, end - 280, 0}));
}

TEST_F(GridLayoutTest, WheelNotchesPostLineOrPageScrolls) {
  CGridCtrl& grid = Grid(60);
  for (const auto& [rowsPerNotch, position] : {std::pair{3, 60}, {-1, 60 + 280}}) {
    grid.SetRowsPerWheelNotch(rowsPerNotch);
    QWheelEvent down(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &down);
    EXPECT_NE(grid.GetScrollPosition(SB_VERT), position);  // posted, not yet run
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.GetScrollPosition(SB_VERT), position);
  }
}

TEST_F(GridLayoutTest, EnsureVisibleScrollsNoFurtherThanNeeded) {
  CGridCtrl& grid = MakeFilledGrid(60, 12, 1, 1);  // both bars: a 386 x 286 client area
  grid.SetRowHeight(20, 0);
  grid.EnsureVisible(40, 9);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(40, 9, &rect));
  EXPECT_EQ(std::pair(rect.right, rect.bottom), std::pair(359, 279));
  grid.EnsureVisible(2, 1);
  EXPECT_EQ(grid.GetFirstScrolledCell(), CCellID(2, 1));
  grid.SetColumnWidth(11, 2000);  // wider than the view: it ends with the column first
  grid.EnsureVisible(2, 11);
  EXPECT_EQ(grid.GetFirstScrolledCell().col, 11);
}

class GridManyRowsTest : public GridTest {
 protected:
  // The last row ends the view, painted where its rectangle says.
  void ExpectLastRowShown() {
    EXPECT_EQ(grid_->GetVisibleScrollingCells().maxRow, 100000);
    GdiRect rect;
    ASSERT_TRUE(grid_->GetCellRect(100000, 2, &rect));
    const int y = std::min(rect.bottom, grid_->GetClientRect().bottom - 1) - 1;
    const QImage image = Render();
    EXPECT_EQ(std::pair(PixelAt(image, rect.left + 5, y), PixelAt(image, rect.left - 5, y) == RGB(255, 0, 0)),
              std::pair(RGB(255, 0, 0), false));
  }
};

TEST_F(GridManyRowsTest, AHundredThousandRowsBeyondTheQtBarRangeScrollToTheirEnd) {
  CGridCtrl& grid = MakeGrid();
  grid.SetRowCount(100001);
  grid.SetColumnCount(4);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(1);
  for (int r = 1; r <= 100000; ++r) grid.SetRowHeight(r, 25000);  // 2.5e9 pixels: more than an int bar holds
  grid.SetItemBackColor(100000, 2, RGB(255, 0, 0));
  QScrollBar* bar = grid.verticalScrollBar();
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), grid.GetScrollLimit(SB_VERT));
  ExpectLastRowShown();
  for (int slider : {bar->maximum() / 2, bar->maximum()}) {
    bar->setSliderDown(true);
    bar->setSliderPosition(slider);
    bar->setSliderDown(false);
    EXPECT_NEAR(double(grid.GetScrollPosition(SB_VERT)) / grid.GetScrollLimit(SB_VERT), double(slider) / bar->maximum(),
                0.01);
  }
  ExpectLastRowShown();
}

}  // namespace
}  // namespace kelvanor::testing
