// Cell rectangles, hit tests, visible ranges, scroll bars, scrolling, EnsureVisible up to
// 100,000 rows, and sizing rows and columns by divider drags and by fitting their text.
#include <QScrollBar>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridLayoutTest : public GridTest {
 protected:
  std::vector<int> Widths() const {
    std::vector<int> widths;
    for (int c = 0; c < 5; ++c) widths.push_back(grid_->GetColumnWidth(c));
    return widths;
  }
  void DoubleClickDivider(QPoint at) {
    Hover(at);
    Click(at);  // leaves the grid idle: the double click has to find the divider again
    Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    Release(at);
  }
};

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
  EXPECT_EQ(grid.HitTestCell(QPoint(59, 45), false), CCellID(4, -1));  // fixed cells refused, rows still found
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
  EXPECT_EQ(grid.GetClientRect().right, 400 - thickness);
}

TEST_F(GridLayoutTest, ScrollingSkipsHiddenRowsAndStopsAtTheEnds) {
  CGridCtrl& grid = Grid(60);
  for (int r : {2, 3}) grid.SetRowHeight(r, 0);
  std::vector<std::int64_t> positions;
  for (int code : {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP, SB_BOTTOM, SB_LINEDOWN, SB_PAGEUP, SB_TOP}) {
    grid.OnVScroll(code);
    positions.push_back(grid.GetScrollPosition(SB_VERT));
  }
  const std::int64_t end = 57 * 20 - 280;  // the shown rows below the fixed one, less the view
  EXPECT_EQ(positions, (std::vector<std::int64_t>{20, 40, 20, end, end, end - 280, 0}));
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

TEST_F(GridLayoutTest, AHundredThousandRowsBeyondTheQtBarRangeScrollToTheirEnd) {
  CGridCtrl& grid = MakeGrid();
  grid.SetRowCount(100001);
  grid.SetColumnCount(4);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(1);
  for (int r = 1; r <= 100000; ++r) grid.SetRowHeight(r, 25000);  // 2.5e9 pixels: more than an int bar holds
  grid.SetItemBackColor(100000, 2, RGB(255, 0, 0));
  QScrollBar* bar = grid.verticalScrollBar();
  const std::int64_t limit = grid.GetScrollLimit(SB_VERT);
  for (int slider : {bar->maximum(), bar->maximum() / 2, bar->maximum()}) {
    bar->setSliderDown(true);
    bar->setSliderPosition(slider);
    bar->setSliderDown(false);
    EXPECT_NEAR(1.0 * grid.GetScrollPosition(SB_VERT) / limit, 1.0 * slider / bar->maximum(), 0.01);
  }
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  GdiRect rect;  // the last row fills the view, painted where its rectangle says
  ASSERT_TRUE(grid.GetCellRect(100000, 2, &rect));
  const QImage image = Render();
  EXPECT_EQ(std::tuple(grid.GetScrollPosition(SB_VERT), grid.GetVisibleScrollingCells().maxRow, rect.top < 290),
            std::tuple(limit, 100000, true));
  EXPECT_EQ(std::pair(PixelAt(image, rect.left + 5, 290), PixelAt(image, rect.left - 5, 290)),
            std::pair(RGB(255, 0, 0), GetSysColor(COLOR_WINDOW)));
}

TEST_F(GridLayoutTest, DraggingADividerResizesOnlyTheRowOrColumnBeforeIt) {
  // Last column width, drag, the tracking line's place (past the cell's start), widths and row 2's height.
  const std::tuple<int, QPoint, QPoint, int, std::vector<int>, int> drags[] = {
      {60, {179, 10}, {215, 12}, 215, {60, 60, 95, 60, 60}, 20},  // on the divider
      {60, {182, 10}, {160, 10}, 160, {60, 60, 40, 60, 60}, 20},  // just past it
      {60, {179, 10}, {20, 10}, 121, {60, 60, 1, 60, 60}, 20},    // far left of the column: one pixel stays
      {2, {239, 10}, {260, 10}, 260, {60, 60, 60, 80, 2}, 20},    // before a last column too thin to hold the pointer
      {60, {179, 10}, {179, 10}, 179, {60, 60, 60, 60, 60}, 20},  // released where it started
      {60, {30, 59}, {30, 90}, 90, {60, 60, 60, 60, 60}, 50}};    // the divider below row 2
  for (const auto& [lastWidth, from, to, line, widths, height] : drags) {
    SCOPED_TRACE(::testing::Message() << from.x() << "," << from.y() << " to " << to.x() << "," << to.y());
    CGridCtrl& grid = Grid();
    grid.SetColumnWidth(4, lastWidth);
    Hover(from);
    Press(from);
    Drag(to);
    EXPECT_EQ(grid.GetTrackingLine(), from.y() < 20 ? QRect(line, 0, 2, 300) : QRect(0, line, 400, 2));
    Release(to);
    EXPECT_EQ(std::tuple(Widths(), grid.GetRowHeight(2), grid.GetRowHeight(3)), std::tuple(widths, height, 20));
    EXPECT_TRUE(grid.GetTrackingLine().isNull() && grid.GetResizeConfinement().isNull());
  }
}

TEST_F(GridLayoutTest, ADividerDoubleClickCtrlPlusOrACallFitsShownColumnsToTheirTextAndLeavesHiddenOnes) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetItemText(4, 2, "a rather longer text than the others");
  DoubleClickDivider(QPoint(179, 10));
  EXPECT_EQ(Widths(), (std::vector<int>{60, 60, 197, 60, 60}));
  grid.SetColumnWidth(2, 0);
  grid.SetItemText(3, 1, "wide enough to need more than sixty pixels");
  DoubleClickDivider(QPoint(121, 10));  // just inside column 3, which starts at 120 once column 2 is hidden
  EXPECT_EQ(Widths(), (std::vector<int>{60, 242, 0, 60, 60}));
  grid.SetFocusCell(2, 3);
  Key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(Widths(), (std::vector<int>{24, 242, 0, 24, 24}));
  EXPECT_FALSE(grid.AutoSizeColumn(2) || grid.AutoSizeColumn(5));
  grid.SetItemText(0, 4, "a long header text over the column");
  ASSERT_TRUE(grid.AutoSizeColumn(4, 1) && grid.AutoSizeRow(5));  // the fixed rows only
  grid.SetRowHeight(4, 0);
  EXPECT_FALSE(grid.AutoSizeRow(4));
  EXPECT_EQ(std::tuple(grid.GetColumnWidth(4), grid.GetRowHeight(5), grid.GetRowHeight(4)), std::tuple(197, 22, 0));
}

}  // namespace
}  // namespace kelvanor::testing
