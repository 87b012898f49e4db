// Sizing rows and columns: divider drags with their tracking line and pointer range, and
// fitting to the text by a divider double click, Ctrl+numeric plus or a call.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

struct DividerDrag {
  const char* name;
  int lastColumnWidth;
  QPoint from, to;
  std::vector<int> widths, heights;  // of columns 1 .. 4 and rows 1 .. 3
};

class GridDividerDragTest : public GridTest, public ::testing::WithParamInterface<DividerDrag> {};

TEST_P(GridDividerDragTest, ResizesOnlyTheRowOrColumnBeforeTheDivider) {
  CGridCtrl& grid = Grid();
  grid.SetColumnWidth(4, GetParam().lastColumnWidth);
  Hover(GetParam().from);
  Press(GetParam().from);
  Drag(GetParam().to);
  Release(GetParam().to);
  std::vector<int> widths, heights;
  for (int i = 1; i <= 4; ++i) widths.push_back(grid.GetColumnWidth(i));
  for (int i = 1; i <= 3; ++i) heights.push_back(grid.GetRowHeight(i));
  EXPECT_EQ(widths, GetParam().widths);
  EXPECT_EQ(heights, GetParam().heights);
  EXPECT_TRUE(grid.GetTrackingLine().isNull() && grid.GetResizeConfinement().isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Drags, GridDividerDragTest,
    ::testing::Values(
        DividerDrag{"OnTheDivider", 60, {179, 10}, {215, 12}, {60, 95, 60, 60}, {20, 20, 20}},
        DividerDrag{"JustPastTheDivider", 60, {182, 10}, {160, 10}, {60, 40, 60, 60}, {20, 20, 20}},
        DividerDrag{"FarLeftOfTheColumnKeepsOnePixel", 60, {179, 10}, {20, 10}, {60, 1, 60, 60}, {20, 20, 20}},
        DividerDrag{"BeforeAThinLastColumn", 2, {239, 10}, {260, 10}, {60, 60, 80, 2}, {20, 20, 20}},
        DividerDrag{"RowDivider", 60, {30, 59}, {30, 90}, {60, 60, 60, 60}, {20, 50, 20}},
        DividerDrag{"ReleasedWhereItStarted", 60, {179, 10}, {179, 10}, {60, 60, 60, 60}, {20, 20, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

using GridResizeTest = GridTest;

TEST_F(GridResizeTest, TheTrackingLineInvertsTwoPixelsInsideThePointersRange) {
  CGridCtrl& grid = Grid();
  const QImage before = Render();
  Hover(QPoint(179, 10));
  Press(QPoint(179, 10));
  EXPECT_EQ(grid.GetResizeConfinement(), QRect(121, 0, 400 - 60, 300));
  Drag(QPoint(250, 10));
  const QImage during = Render();
  for (int x : {249, 250, 251, 252})
    EXPECT_EQ(PixelAt(during, x, 100), PixelAt(before, x, 100) ^ (x == 250 || x == 251 ? 0xFFFFFF : 0)) << x;
  Drag(QPoint(179, 10));
  Release(QPoint(179, 10));
  EXPECT_EQ(Render(), before);
}

TEST_F(GridResizeTest, DoubleClickOnADividerOrCtrlPlusFitsShownColumnsToTheirText) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetItemText(4, 2, "a rather longer text than the others");
  Hover(QPoint(179, 10));
  DoubleClick(QPoint(179, 10));
  EXPECT_EQ(grid.GetColumnWidth(2), 197);
  grid.SetColumnWidth(2, 0);
  grid.SetItemText(3, 1, "wide enough to need more than sixty pixels");
  Hover(QPoint(121, 10));  // just inside column 3, which starts at 120 once column 2 is hidden
  DoubleClick(QPoint(121, 10));
  EXPECT_EQ(std::pair(grid.GetColumnWidth(1), grid.GetColumnWidth(2)), std::pair(242, 0));
  grid.SetFocusCell(2, 3);
  Key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  std::vector<int> widths;
  for (int c = 0; c < 5; ++c) widths.push_back(grid.GetColumnWidth(c));
  EXPECT_EQ(widths, (std::vector<int>{24, 242, 0, 24, 24}));
}

TEST_F(GridResizeTest, FittingTheFixedOrTheScrollableRowsOrAHiddenOne) {
  CGridCtrl& grid = Grid();
  grid.SetItemText(0, 2, "a long header text over the column");
  grid.SetItemText(5, 2, "body");
  ASSERT_TRUE(grid.AutoSizeColumn(2, 2));
  EXPECT_EQ(grid.GetColumnWidth(2), 34);  // "body"
  ASSERT_TRUE(grid.AutoSizeColumn(2, 1));
  EXPECT_EQ(grid.GetColumnWidth(2), 197);  // the header
  ASSERT_TRUE(grid.AutoSizeRow(5));
  EXPECT_EQ(grid.GetRowHeight(5), 22);
  grid.SetColumnWidth(3, 0);
  grid.SetRowHeight(4, 0);
  EXPECT_FALSE(grid.AutoSizeColumn(3) || grid.AutoSizeRow(4) || grid.AutoSizeColumn(5));
  EXPECT_EQ(std::pair(grid.GetColumnWidth(3), grid.GetRowHeight(4)), std::pair(0, 0));
}

}  // namespace
}  // namespace kelvanor::testing
