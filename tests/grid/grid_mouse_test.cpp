// The mouse state machine: drag selection with auto-scroll, presses on selected and focus
// cells and outside the cells, divider hover modes and cursors.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridMouseTest = GridTest;

TEST_F(GridMouseTest, DragSelectsTheRectangleUnderThePointerAndScrollsPastTheEdge) {
  CGridCtrl& grid = Grid(60);
  Press(At(2, 1));
  EXPECT_EQ(grid.GetMouseMode(), MM_SELECT_CELLS);
  Drag(At(4, 3));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 1, 4, 3));
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 3));
  const QPoint below(150, 330);  // outside the view: left to the auto-scroll timer
  Drag(below);
  ASSERT_TRUE(QTest::qWaitFor([&] { return grid.GetScrollPosition(SB_VERT) >= 60; }));
  Release(below);
  const CCellBlock range = grid.GetSelectedCellRange();
  EXPECT_EQ(std::tuple(range.minRow, range.minCol, range.maxCol), std::tuple(2, 1, 2));
  EXPECT_GT(range.maxRow, 17);
  EXPECT_EQ(grid.GetSelectedCount(), 2 * (range.maxRow - 1));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
  EXPECT_FALSE(grid.IsAutoScrolling());  // the timer ended with the release
}

TEST_F(GridMouseTest, PressesOnTheSelectionAndOnTheFocusTextNeverEditOnAMove) {
  CGridCtrl& grid = Grid();
  Click(At(2, 2));
  Press(At(2, 2));
  EXPECT_EQ(grid.GetMouseMode(), MM_PREPARE_EDIT);
  Drag(At(2, 2) + QPoint(3, 0));
  EXPECT_EQ(grid.GetMouseMode(), MM_PREPARE_DRAG);
  Release(At(2, 2) + QPoint(3, 0));
  EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
  grid.EnableDragAndDrop(true);
  grid.SetSelectedRange(2, 2, 3, 3);
  grid.SetFocusCell(2, 2);
  spy_.calls.clear();
  Click(At(3, 3));  // a release on the selection with drag-and-drop on clears it
  EXPECT_EQ(std::pair(grid.GetSelectedCount(), grid.GetFocusCell()), std::pair(0, CCellID()));
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{NM_CLICK, GN_SELCHANGING, GN_SELCHANGED}));
  spy_.calls.clear();
  Press(QPoint(390, 290));  // outside every cell: only recorded
  EXPECT_FALSE(grid.IsAutoScrolling());
  EXPECT_TRUE(spy_.calls.empty());
}

TEST_F(GridMouseTest, HoveringADividerEntersItsModeAndCursor) {
  CGridCtrl& grid = Grid();
  for (const auto& [at, mode, cursor] : {std::tuple{QPoint(119, 10), MM_OVER_COLUMN_EDGE, Qt::SizeHorCursor},
                                         {QPoint(30, 40), MM_OVER_ROW_EDGE, Qt::SizeVerCursor},
                                         {QPoint(150, 50), MM_IDLE, Qt::ArrowCursor}}) {
    Hover(at);
    EXPECT_EQ(std::pair(grid.GetMouseMode(), grid.viewport()->cursor().shape()), std::pair(mode, cursor));
  }
  Hover(QPoint(119, 10));
  Press(QPoint(119, 10));
  EXPECT_EQ(grid.GetMouseMode(), MM_SIZE_COLUMN);
  Release(QPoint(119, 10));
  grid.SetColumnResize(false);
  Hover(QPoint(119, 10));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
}

}  // namespace
}  // namespace kelvanor::testing
