// Focus cell and selection through the mouse state machine and the selection calls:
// clicks, drags with auto-scroll, headers, divider hovering, notifications, 16-bit keys.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridSelectionTest = GridTest;

TEST_F(GridSelectionTest, ClicksSelectExtendAndToggleWithNotificationsInOrder) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 1);
  Click(At(4, 3), Qt::ShiftModifier);  // no anchor yet: from the focus cell
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 1, 4, 3));
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_SELCHANGING, GN_SELCHANGED, NM_CLICK}));
  EXPECT_EQ(std::pair(spy_.calls[2].iRow, spy_.calls[2].iColumn), std::pair(4, 3));
  Click(At(7, 4), Qt::ControlModifier);  // adds to the selection
  Click(At(3, 2), Qt::ControlModifier);  // deselects only that cell
  EXPECT_EQ(std::tuple(grid.GetSelectedCount(), grid.IsCellSelected(7, 4), grid.IsCellSelected(3, 2)),
            std::tuple(9, true, false));
  Click(At(0, 2));  // headers select a column, a row, everything
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 2, 9, 2));
  Click(At(4, 0));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(4, 1, 4, 4));
  Click(At(0, 0));
  grid.SetHeaderClickSelectsColumn(false);
  Click(At(0, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 9 * 4);
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridSelectionTest, DragSelectsTheRectangleUnderThePointerAndScrollsPastTheEdge) {
  CGridCtrl& grid = Grid(60);
  Press(At(2, 1));
  Drag(At(4, 3));
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetFocusCell()), std::pair(CCellBlock(2, 1, 4, 3), CCellID(4, 3)));
  const QPoint below(150, 330);  // outside the view: left to the auto-scroll timer
  Drag(below);
  ASSERT_TRUE(QTest::qWaitFor([&] { return grid.GetScrollPosition(SB_VERT) >= 60; }));
  Release(below);
  const CCellBlock range = grid.GetSelectedCellRange();
  EXPECT_EQ(std::tuple(range.minRow, range.minCol, range.maxCol, range.maxRow > 17), std::tuple(2, 1, 2, true));
  EXPECT_EQ(std::tuple(grid.GetSelectedCount(), grid.GetMouseMode(), grid.IsAutoScrolling()),
            std::tuple(2 * (range.maxRow - 1), MM_IDLE, false));  // the timer ended with the release
}

TEST_F(GridSelectionTest, PressesOnTheFocusTextOrTheSelectionPrepareAnEditOrADragThatAMoveStarts) {
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
  spy_.calls.clear();
  Click(At(3, 3));  // a release on the selection with drag-and-drop on clears it
  EXPECT_EQ(std::pair(grid.GetSelectedCount(), grid.GetFocusCell()), std::pair(0, CCellID()));
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{NM_CLICK, GN_SELCHANGING, GN_SELCHANGED}));
  spy_.calls.clear();
  Press(QPoint(390, 290));  // outside every cell: only recorded
  EXPECT_EQ(std::pair(grid.IsAutoScrolling(), spy_.calls.size()), std::pair(false, size_t{0}));
}

TEST_F(GridSelectionTest, HoveringADividerEntersItsModeAndCursor) {
  CGridCtrl& grid = Grid();
  for (const auto& [at, mode, cursor] : {std::tuple{QPoint(119, 10), MM_OVER_COLUMN_EDGE, Qt::SizeHorCursor},
                                         {QPoint(30, 40), MM_OVER_ROW_EDGE, Qt::SizeVerCursor},
                                         {QPoint(150, 50), MM_IDLE, Qt::ArrowCursor}}) {
    Hover(at);
    EXPECT_EQ(std::pair(grid.GetMouseMode(), grid.viewport()->cursor().shape()), std::pair(mode, cursor));
  }
  grid.SetColumnResize(false);
  Hover(QPoint(119, 10));
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
}

TEST_F(GridSelectionTest, RangesAreClampedToTheScrollableCellsAndReduceOrReplaceTheSelection) {
  CGridCtrl& grid = Grid();
  EXPECT_EQ(grid.SetFocusCell(0, 0), CCellID());  // the focus goes to the nearest scrollable cell
  EXPECT_EQ(std::pair(grid.GetFocusCell(), bool(grid.GetItemState(1, 1) & CELL_FOCUSED)), std::pair(CCellID(1, 1), true));
  grid.SetSelectedRange(0, 0, 5, 4);
  grid.SetSelectedRange(2, 2, 3, 3, false, false);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(1, 1, 5, 4), 20 - 4));
  grid.SetSelectedRange(1, 1, 10, 4);  // beyond the table: only the old selection goes
  EXPECT_FALSE(grid.GetSelectedCellRange().IsValid());
  grid.OnEditSelectAll();
  EXPECT_EQ(std::pair(grid.GetSelectedCount(), spy_.Codes()), std::pair(36, std::vector<int>{GN_SELCHANGING, GN_SELCHANGED}));
  grid.EnableSelection(false);
  grid.SelectAllCells();
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, RightClickMovesTheFocusKeepsTheSelectionAndClicksPostTheCommand) {
  struct CommandSpy : NotifySpy {
    void OnGridCommand(CGridCtrl*, unsigned id) override { ids.push_back(id); }
    std::vector<unsigned> ids;
  } spy;
  CGridCtrl& grid = Grid();
  grid.SetNotifyHandler(&spy);
  grid.SetDlgCtrlID(1000);
  grid.SetSelectedRange(1, 1, 2, 2);
  Mouse(QEvent::MouseButtonRelease, At(0, 3), Qt::RightButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(390, 290), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(std::tuple(grid.GetFocusCell(), grid.GetSelectedCount(), spy.Codes(), spy.calls[1].iRow),
            std::tuple(CCellID(1, 3), 4, std::vector<int>{NM_RCLICK, NM_RCLICK}, -1));
  Click(At(2, 2));
  EXPECT_TRUE(spy.ids.empty());  // posted
  QCoreApplication::processEvents();
  EXPECT_EQ(spy.ids, std::vector<unsigned>{1000});
  grid.SetNotifyHandler(&spy_);
}

TEST_F(GridSelectionTest, SelectionAtRow70000KeepsItsOwnKey) {
  CGridCtrl& grid = MakeGrid();
  grid.SetRowCount(70001);
  grid.SetColumnCount(2);
  grid.SetItemState(70000, 1, CELL_SELECTED);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.IsCellSelected(70000 - 65536, 1)),
            std::pair(CCellBlock(70000, 1, 70000, 1), false));
  grid.SetSelectedRange(4464, 1, 4464, 1);  // shares 16-bit keys with row 70000
  EXPECT_EQ(std::pair(grid.IsCellSelected(70000, 1), grid.GetSelectedCount()), std::pair(false, 1));
  EXPECT_TRUE(grid.checkConsistency());
}

// The settings dialog moves a selected row by rewriting the states of two rows.
TEST_F(GridSelectionTest, RewrittenStatesMoveTheSelectionAndDeletingItsRowClearsIt) {
  CGridCtrl& grid = Grid();
  grid.SetSelectedRange(2, 1, 2, 4);
  for (int c = 1; c <= 4; ++c) {
    grid.SetItemState(2, c, 0x0F00);
    grid.SetItemState(1, c, CELL_FOCUSED | CELL_SELECTED);
  }
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(1, 1, 1, 4), 4));
  ASSERT_TRUE(grid.DeleteRow(1));
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_TRUE(grid.checkConsistency());
}

}  // namespace
}  // namespace kelvanor::testing
