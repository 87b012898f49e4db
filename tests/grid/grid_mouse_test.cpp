// The mouse state machine: drag selection with auto-scroll, presses on selected and focus
// cells, divider hover modes and cursors.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridMouseTest : public SpiedGridTest {
 protected:
  CGridCtrl& Grid(int rows = 10) { return SpiedGridTest::Grid(rows, false); }
};

TEST_F(GridMouseTest, DragSelectsTheRectangleUnderThePointer) {
  CGridCtrl& grid = Grid();
  Press(At(2, 1));
  EXPECT_EQ(grid.GetMouseMode(), MM_SELECT_CELLS);
  EXPECT_TRUE(grid.IsAutoScrolling());
  Drag(At(4, 3));
  Release(At(4, 3));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 1, 4, 3));
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 3));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
  EXPECT_FALSE(grid.IsAutoScrolling());
}

TEST_F(GridMouseTest, DragPastTheBottomEdgeScrollsAndExtends) {
  CGridCtrl& grid = Grid(60);
  Press(At(2, 2));
  Drag(At(5, 2));
  Drag(QPoint(150, grid.GetClientRect().bottom + 30));  // outside: left to the timer
  QTRY_VERIFY(grid.GetScrollPosition(SB_VERT) >= 60);
  Release(QPoint(150, grid.GetClientRect().bottom + 30));
  const CCellBlock range = grid.GetSelectedCellRange();
  EXPECT_EQ(range.minRow, 2);
  EXPECT_GT(range.maxRow, grid.GetClientRect().bottom / 20);
  EXPECT_EQ(range.minCol, 2);
  EXPECT_EQ(grid.GetSelectedCount(), range.maxRow - 1);
  EXPECT_FALSE(grid.IsAutoScrolling());  // the timer ended with the release
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridMouseTest, ReleaseOnASelectedCellWithDragAndDropClearsTheSelection) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  grid.SetSelectedRange(2, 2, 3, 3);
  grid.SetFocusCell(2, 2);
  Click(At(3, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{NM_CLICK, GN_SELCHANGING, GN_SELCHANGED}));
}

TEST_F(GridMouseTest, MovingAfterAPressOnTheFocusTextNeverEdits) {
  CGridCtrl& grid = Grid();
  Click(At(2, 2));
  Press(At(2, 2));
  EXPECT_EQ(grid.GetMouseMode(), MM_PREPARE_EDIT);
  Drag(At(2, 2) + QPoint(3, 0));
  EXPECT_EQ(grid.GetMouseMode(), MM_PREPARE_DRAG);
  Release(At(2, 2) + QPoint(3, 0));
  EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
}

TEST_F(GridMouseTest, HoveringADividerEntersItsModeAndCursor) {
  CGridCtrl& grid = Grid();
  Hover(QPoint(119, 10));  // the divider between header columns 1 and 2
  EXPECT_EQ(grid.GetMouseMode(), MM_OVER_COLUMN_EDGE);
  EXPECT_EQ(grid.viewport()->cursor().shape(), Qt::SizeHorCursor);
  Hover(QPoint(30, 40));  // between row headers 1 and 2
  EXPECT_EQ(grid.GetMouseMode(), MM_OVER_ROW_EDGE);
  EXPECT_EQ(grid.viewport()->cursor().shape(), Qt::SizeVerCursor);
  Hover(QPoint(150, 50));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
  EXPECT_EQ(grid.viewport()->cursor().shape(), Qt::ArrowCursor);
  Hover(QPoint(119, 10));
  Press(QPoint(119, 10));
  EXPECT_EQ(grid.GetMouseMode(), MM_SIZE_COLUMN);
  Release(QPoint(119, 10));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
  grid.SetColumnResize(false);
  Hover(QPoint(119, 10));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
}

TEST_F(GridMouseTest, PressOutsideEveryCellOnlyRecordsIt) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 2);
  Press(QPoint(390, 290));
  EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
  EXPECT_FALSE(grid.IsAutoScrolling());
  EXPECT_TRUE(spy_.calls.empty());
}

}  // namespace
}  // namespace kelvanor::testing
