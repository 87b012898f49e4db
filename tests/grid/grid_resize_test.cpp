// Sizing rows and columns: divider drags with their tracking line and pointer range, and
// fitting to the text by a divider double click, Ctrl+numeric plus or a call.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridResizeTest : public GridTest {
 protected:
  std::vector<int> Widths() const {
    std::vector<int> widths;
    for (int c = 0; c < 5; ++c) widths.push_back(grid_->GetColumnWidth(c));
    return widths;
  }
  void DoubleClick(QPoint at) {
    Hover(at);
    Click(at);
    Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Release(at);
  }
};

TEST_F(GridResizeTest, DraggingADividerResizesOnlyTheRowOrColumnBeforeIt) {
  const std::tuple<int, QPoint, QPoint, std::vector<int>, int> drags[] = {
      {60, {179, 10}, {215, 12}, {60, 60, 95, 60, 60}, 20},  // on the divider
      {60, {182, 10}, {160, 10}, {60, 60, 40, 60, 60}, 20},  // just past it
      {60, {179, 10}, {20, 10}, {60, 60, 1, 60, 60}, 20},    // far left of the column: one pixel stays
      {2, {239, 10}, {260, 10}, {60, 60, 60, 80, 2}, 20},    // before a last column too thin to hold the pointer
      {60, {179, 10}, {179, 10}, {60, 60, 60, 60, 60}, 20},  // released where it started
      {60, {30, 59}, {30, 90}, {60, 60, 60, 60, 60}, 50}};   // the divider below row 2
  for (const auto& [lastWidth, from, to, widths, height] : drags) {
    SCOPED_TRACE(::testing::Message() << from.x() << "," << from.y() << " to " << to.x() << "," << to.y());
    CGridCtrl& grid = Grid();
    grid.SetColumnWidth(4, lastWidth);
    Hover(from);
    Press(from);
    Drag(to);
    Release(to);
    EXPECT_EQ(std::tuple(Widths(), grid.GetRowHeight(2), grid.GetRowHeight(3)), std::tuple(widths, height, 20));
    EXPECT_TRUE(grid.GetTrackingLine().isNull() && grid.GetResizeConfinement().isNull());
  }
}

TEST_F(GridResizeTest, TheTrackingLineInvertsTwoPixelsWithinThePointersRange) {
  CGridCtrl& grid = Grid();
  const QImage before = Render();
  Hover(QPoint(179, 10));
  Press(QPoint(179, 10));
  EXPECT_EQ(grid.GetResizeConfinement(), QRect(121, 0, 400 - 60, 300));
  Drag(QPoint(250, 10));
  const QImage during = Render();
  for (int x : {249, 250, 251, 252})
    EXPECT_EQ(PixelAt(during, x, 100), PixelAt(before, x, 100) ^ (x == 250 || x == 251 ? 0xFFFFFF : 0)) << x;
  Release(QPoint(179, 10));
  EXPECT_EQ(Render(), before);
}

TEST_F(GridResizeTest, DoubleClickOnADividerOrCtrlPlusFitsShownColumnsToTheirTextAndLeavesHiddenOnes) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetItemText(4, 2, "a rather longer text than the others");
  DoubleClick(QPoint(179, 10));
  EXPECT_EQ(Widths(), (std::vector<int>{60, 60, 197, 60, 60}));
  grid.SetColumnWidth(2, 0);
  grid.SetItemText(3, 1, "wide enough to need more than sixty pixels");
  DoubleClick(QPoint(121, 10));  // just inside column 3, which starts at 120 once column 2 is hidden
  EXPECT_EQ(Widths(), (std::vector<int>{60, 242, 0, 60, 60}));
  grid.SetFocusCell(2, 3);
  Key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(Widths(), (std::vector<int>{24, 242, 0, 24, 24}));
  EXPECT_FALSE(grid.AutoSizeColumn(2) || grid.AutoSizeColumn(5));
}

TEST_F(GridResizeTest, FittingMeasuresTheFixedOrTheScrollableRowsAndNeverAHiddenRow) {
  CGridCtrl& grid = Grid();
  grid.SetItemText(0, 2, "a long header text over the column");
  grid.SetItemText(5, 2, "body");
  ASSERT_TRUE(grid.AutoSizeColumn(2, 2));
  EXPECT_EQ(grid.GetColumnWidth(2), 34);  // "body"
  ASSERT_TRUE(grid.AutoSizeColumn(2, 1));
  EXPECT_EQ(grid.GetColumnWidth(2), 197);  // the header
  ASSERT_TRUE(grid.AutoSizeRow(5));
  grid.SetRowHeight(4, 0);
  EXPECT_FALSE(grid.AutoSizeRow(4));
  EXPECT_EQ(std::pair(grid.GetRowHeight(5), grid.GetRowHeight(4)), std::pair(22, 0));
}

}  // namespace
}  // namespace kelvanor::testing
