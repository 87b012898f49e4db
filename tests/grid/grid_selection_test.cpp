// Focus cell, selected cells and their notifications, through clicks and the selection
// calls, up to rows beyond 16-bit keys.
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
  EXPECT_EQ(grid.GetSelectedCount(), 9);
  EXPECT_TRUE(grid.IsCellSelected(7, 4) && !grid.IsCellSelected(3, 2));
  Click(At(5, 2));
  EXPECT_EQ(std::pair(grid.GetSelectedCount(), grid.GetFocusCell()), std::pair(1, CCellID(5, 2)));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridSelectionTest, HeaderClicksSelectRowsColumnsAndAll) {
  CGridCtrl& grid = Grid();
  Click(At(0, 2));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 2, 9, 2));
  Click(At(4, 0));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(4, 1, 4, 4));
  Click(At(0, 0));
  EXPECT_EQ(grid.GetSelectedCount(), 9 * 4);
  grid.SetHeaderClickSelectsColumn(false);
  Click(At(0, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 9 * 4);  // the press selects nothing and leaves the rest
}

TEST_F(GridSelectionTest, RangesReplaceOrReduceTheSelectionWithinTheScrollableCells) {
  CGridCtrl& grid = Grid();
  grid.SetSelectedRange(1, 1, 5, 4);
  grid.SetSelectedRange(2, 2, 3, 3, false, false);
  EXPECT_EQ(grid.GetSelectedCount(), 20 - 4);
  grid.SetSelectedRange(0, 0, 2, 2);  // fixed parts are clamped away
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 1, 2, 2));
  grid.SetSelectedRange(1, 1, 10, 4);  // beyond the table: only the old selection goes
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_FALSE(grid.GetSelectedCellRange().IsValid());
  grid.OnEditSelectAll();
  EXPECT_EQ(grid.GetSelectedCount(), 36);
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_SELCHANGING, GN_SELCHANGED}));
  grid.EnableSelection(false);
  grid.SelectAllCells();
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, FocusOnAFixedCellMovesToTheNearestScrollableOne) {
  CGridCtrl& grid = Grid();
  EXPECT_EQ(grid.SetFocusCell(0, 0), CCellID(-1, -1));
  EXPECT_TRUE(grid.GetItemState(1, 1) & CELL_FOCUSED);
  EXPECT_EQ(grid.SetFocusCell(3, 3), CCellID(1, 1));
  EXPECT_FALSE(grid.GetItemState(1, 1) & CELL_FOCUSED);
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
  EXPECT_EQ(std::pair(grid.GetFocusCell(), grid.GetSelectedCount()), std::pair(CCellID(1, 3), 4));
  EXPECT_EQ(spy.Codes(), (std::vector<int>{NM_RCLICK, NM_RCLICK}));
  EXPECT_EQ(spy.calls[1].iRow, -1);
  Click(At(2, 2));
  EXPECT_TRUE(spy.ids.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(spy.ids, std::vector<unsigned>{1000});
  grid.SetNotifyHandler(nullptr);
}

TEST_F(GridSelectionTest, SelectionAtRow70000KeepsItsOwnKey) {
  CGridCtrl& grid = MakeGrid();
  grid.SetRowCount(70001);
  grid.SetColumnCount(2);
  grid.SetItemState(70000, 1, CELL_SELECTED);
  EXPECT_FALSE(grid.IsCellSelected(70000 - 65536, 1));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(70000, 1, 70000, 1));
  grid.SetSelectedRange(4464, 1, 4464, 1);  // shares 16-bit keys with row 70000
  EXPECT_FALSE(grid.IsCellSelected(70000, 1));
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_TRUE(grid.checkConsistency());
}

// The settings dialog moves a selected row by rewriting the states of two rows.
TEST_F(GridSelectionTest, RewrittenStatesMoveTheSelectionAndDeletingItsRowClearsIt) {
  CGridCtrl& grid = Grid();
  grid.SetSingleRowSelection(true);
  grid.SetSelectedRange(2, 1, 2, 4);
  for (int c = 1; c <= 4; ++c) {
    grid.SetItemState(2, c, 0x0F00);
    grid.SetItemState(1, c, CELL_FOCUSED | CELL_SELECTED);
  }
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 1, 1, 4));
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  ASSERT_TRUE(grid.DeleteRow(1));
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_TRUE(grid.checkConsistency());
}

}  // namespace
}  // namespace kelvanor::testing
