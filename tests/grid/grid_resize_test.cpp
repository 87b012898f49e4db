// Sizing rows and columns: divider drags with their tracking line and pointer range,
// fitting to the measured text by double click and Ctrl+numeric plus, hidden columns.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridResizeTest : public GridTest {
 protected:
  CGridCtrl& Grid() { return MakeFilledGrid(10, 5, 1, 1); }
  std::vector<int> Widths() const {
    std::vector<int> widths;
    for (int c = 0; c < grid_->GetColumnCount(); ++c) widths.push_back(grid_->GetColumnWidth(c));
    return widths;
  }
  void DragDivider(QPoint from, QPoint to) {
    Hover(from);
    Press(from);
    Drag(to);
    Release(to);
  }
  // What the column needs for its widest cell, measured as the grid's cells measure.
  int Needed(int col) const {
    MeasureDC measure;
    int width = 0;
    for (int r = 0; r < grid_->GetRowCount(); ++r)
      width = std::max(width, grid_->GetCell(r, col)->MeasureCell(measure.dc()).width());
    return width;
  }
};

TEST_F(GridResizeTest, DraggingAColumnDividerChangesOnlyThatColumn) {
  CGridCtrl& grid = Grid();
  DragDivider(QPoint(179, 10), QPoint(215, 12));  // right border of column 2
  EXPECT_EQ(Widths(), (std::vector<int>{60, 60, 95, 60, 60}));
  EXPECT_TRUE(grid.GetTrackingLine().isNull());
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
}

TEST_F(GridResizeTest, PressJustRightOfADividerResizesTheColumnBefore) {
  Grid();
  DragDivider(QPoint(182, 10), QPoint(160, 10));  // 2 pixels into column 3
  EXPECT_EQ(Widths(), (std::vector<int>{60, 60, 40, 60, 60}));
}

TEST_F(GridResizeTest, DraggingARowDividerChangesOnlyThatRow) {
  CGridCtrl& grid = Grid();
  DragDivider(QPoint(30, 59), QPoint(30, 90));  // bottom border of row 2
  EXPECT_EQ(grid.GetRowHeight(2), 50);
  for (int r = 0; r < 10; ++r) {
    if (r == 2) continue;
    EXPECT_EQ(grid.GetRowHeight(r), 20) << r;
  }
}

TEST_F(GridResizeTest, ThePointerIsKeptRightOfTheColumnsLeftEdge) {
  CGridCtrl& grid = Grid();
  Hover(QPoint(179, 10));
  Press(QPoint(179, 10));
  EXPECT_EQ(grid.GetResizeConfinement().left(), 121);
  EXPECT_EQ(grid.GetResizeConfinement().width(), 400 - 60);
  Drag(QPoint(20, 10));  // far left of the column's own left edge
  EXPECT_EQ(grid.GetTrackingLine().left(), 121);
  Release(QPoint(20, 10));
  EXPECT_EQ(grid.GetColumnWidth(2), 1);
  EXPECT_TRUE(grid.GetResizeConfinement().isNull());
}

TEST_F(GridResizeTest, TheTrackingLineInvertsTwoPixelsAndReleaseInPlaceChangesNothing) {
  CGridCtrl& grid = Grid();
  const QImage before = Render();
  Hover(QPoint(179, 10));
  Press(QPoint(179, 10));
  Drag(QPoint(250, 10));
  const QImage during = Render();
  for (int x : {249, 250, 251, 252}) {
    const bool onLine = x == 250 || x == 251;
    EXPECT_EQ(PixelAt(during, x, 100), onLine ? (PixelAt(before, x, 100) ^ 0xFFFFFF) : PixelAt(before, x, 100)) << x;
  }
  Drag(QPoint(179, 10));
  Release(QPoint(179, 10));
  EXPECT_EQ(Render(), before);
  EXPECT_EQ(Widths(), (std::vector<int>{60, 60, 60, 60, 60}));
  (void)grid;
}

TEST_F(GridResizeTest, DoubleClickOnADividerFitsTheColumnToItsText) {
  CGridCtrl& grid = Grid();
  grid.SetItemText(4, 2, "a rather longer text than the others");
  Hover(QPoint(179, 10));
  DoubleClick(QPoint(179, 10));
  EXPECT_EQ(grid.GetColumnWidth(2), Needed(2));
  EXPECT_GT(grid.GetColumnWidth(2), 60);
  EXPECT_EQ(grid.GetColumnWidth(3), 60);
}

TEST_F(GridResizeTest, DoubleClickNextToAHiddenColumnFitsTheShownOneAndKeepsItHidden) {
  CGridCtrl& grid = Grid();
  grid.SetColumnWidth(2, 0);
  grid.SetItemText(3, 1, "wide enough to need more than sixty pixels");
  Hover(QPoint(121, 10));  // just inside column 3, which now starts at 120
  DoubleClick(QPoint(121, 10));
  EXPECT_EQ(grid.GetColumnWidth(2), 0);
  EXPECT_EQ(grid.GetColumnWidth(1), Needed(1));
}

TEST_F(GridResizeTest, CtrlNumericPlusFitsEveryShownColumn) {
  CGridCtrl& grid = Grid();
  grid.SetColumnWidth(3, 0);
  grid.SetFocusCell(2, 2);
  Activate();
  Key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  for (int c : {0, 1, 2, 4}) EXPECT_EQ(grid.GetColumnWidth(c), Needed(c)) << c;
  EXPECT_EQ(grid.GetColumnWidth(3), 0);
}

TEST_F(GridResizeTest, FittingAHiddenRowOrColumnFailsAndLeavesItHidden) {
  CGridCtrl& grid = Grid();
  grid.SetColumnWidth(2, 0);
  grid.SetRowHeight(3, 0);
  EXPECT_FALSE(grid.AutoSizeColumn(2));
  EXPECT_FALSE(grid.AutoSizeRow(3));
  EXPECT_FALSE(grid.AutoSizeColumn(5));
  EXPECT_EQ(grid.GetColumnWidth(2), 0);
  EXPECT_EQ(grid.GetRowHeight(3), 0);
}

TEST_F(GridResizeTest, TheStyleChoosesTheFixedOrTheScrollableRows) {
  CGridCtrl& grid = Grid();
  grid.SetItemText(0, 2, "a long header text over the column");
  grid.SetItemText(5, 3, "a long body text in the column below");
  ASSERT_TRUE(grid.AutoSizeColumn(2, 2));
  ASSERT_TRUE(grid.AutoSizeColumn(3, 1));
  MeasureDC measure;
  EXPECT_LT(grid.GetColumnWidth(2), grid.GetCell(0, 2)->MeasureCell(measure.dc()).width());
  EXPECT_LT(grid.GetColumnWidth(3), grid.GetCell(5, 3)->MeasureCell(measure.dc()).width());
  ASSERT_TRUE(grid.AutoSizeColumn(2, 1));
  EXPECT_EQ(grid.GetColumnWidth(2), grid.GetCell(0, 2)->MeasureCell(measure.dc()).width());
}

}  // namespace
}  // namespace kelvanor::testing
