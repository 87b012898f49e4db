// Focus cell, selected cells and their notifications, through the real widget.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridSelectionTest : public SpiedGridTest {
 protected:
  CGridCtrl& Grid(int rows = 10) { return SpiedGridTest::Grid(rows, false); }
};

TEST_F(GridSelectionTest, ClickSelectsOneCellWithNotificationsInOrder) {
  CGridCtrl& grid = Grid();
  Click(At(3, 2));
  EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_TRUE(grid.IsCellSelected(3, 2));
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_SELCHANGING, GN_SELCHANGED, NM_CLICK}));
  EXPECT_EQ(spy_.calls[0].iRow, 3);
  EXPECT_EQ(spy_.calls[2].iColumn, 2);
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridSelectionTest, ShiftAndCtrlClicksExtendAndToggle) {
  CGridCtrl& grid = Grid();
  Click(At(2, 1));
  Click(At(4, 3), Qt::ShiftModifier);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 1, 4, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 9);
  Click(At(7, 4), Qt::ControlModifier);  // adds to the selection
  EXPECT_EQ(grid.GetSelectedCount(), 10);
  Click(At(3, 2), Qt::ControlModifier);  // deselects only that cell
  EXPECT_EQ(grid.GetSelectedCount(), 9);
  EXPECT_FALSE(grid.IsCellSelected(3, 2));
  EXPECT_TRUE(grid.IsCellSelected(7, 4));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridSelectionTest, ShiftClickWithoutAnchorStartsFromTheFocusCell) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 2);
  Click(At(3, 3), Qt::ShiftModifier);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 2, 3, 3));
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

TEST_F(GridSelectionTest, SelectAllAndItsNotifications) {
  CGridCtrl& grid = Grid();
  grid.OnEditSelectAll();
  EXPECT_EQ(grid.GetSelectedCount(), 36);
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_SELCHANGING, GN_SELCHANGED}));
  grid.EnableSelection(false);
  EXPECT_FALSE(grid.CanSelectAll());
  grid.SelectAllCells();
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, RangesReplaceOrReduceTheSelection) {
  CGridCtrl& grid = Grid();
  grid.SetSelectedRange(1, 1, 5, 4);
  grid.SetSelectedRange(2, 2, 3, 3, false, false);
  EXPECT_EQ(grid.GetSelectedCount(), 20 - 4);
  grid.SetSelectedRange(0, 0, 2, 2);  // fixed parts are clamped away
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 1, 2, 2));
  grid.SetSelectedRange(-1, -1, -1, -1);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  const CCellBlock none = grid.GetSelectedCellRange();
  EXPECT_EQ(none.minRow, grid.GetRowCount());
  EXPECT_EQ(none.maxRow, -1);
  EXPECT_FALSE(none.IsValid());
  grid.SetSelectedRange(1, 1, 10, 4);  // beyond the table: only the old selection goes
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, FocusOnAFixedCellMovesToTheNearestScrollableOne) {
  CGridCtrl& grid = Grid();
  EXPECT_EQ(grid.SetFocusCell(0, 0), CCellID(-1, -1));
  EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
  EXPECT_TRUE(grid.GetItemState(1, 1) & CELL_FOCUSED);
  EXPECT_EQ(grid.SetFocusCell(3, 3), CCellID(1, 1));
  EXPECT_FALSE(grid.GetItemState(1, 1) & CELL_FOCUSED);
}

TEST_F(GridSelectionTest, RightClickMovesTheFocusAndKeepsTheSelection) {
  CGridCtrl& grid = Grid();
  grid.SetSelectedRange(1, 1, 2, 2);
  Mouse(QEvent::MouseButtonRelease, At(0, 3), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  Mouse(QEvent::MouseButtonRelease, QPoint(390, 290), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{NM_RCLICK, NM_RCLICK}));
  EXPECT_EQ(spy_.calls[1].iRow, -1);
}

TEST_F(GridSelectionTest, SelectionAtRow70000KeepsItsOwnKey) {
  CGridCtrl& grid = MakeGrid();
  grid.SetRowCount(70001);
  grid.SetColumnCount(2);
  grid.SetItemState(70000, 1, CELL_SELECTED);
  EXPECT_TRUE(grid.IsCellSelected(70000, 1));
  EXPECT_FALSE(grid.IsCellSelected(70000 - 65536, 1));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(70000, 1, 70000, 1));
  grid.SetSelectedRange(4464, 1, 4464, 1);  // shares 16-bit keys with row 70000
  EXPECT_FALSE(grid.IsCellSelected(70000, 1));
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_TRUE(grid.checkConsistency());
}

// The calls the settings dialog makes, in its order: set-up, a header, rows, and moving
// the selection with a row by rewriting states.
TEST_F(GridSelectionTest, SettingsDialogSequenceKeepsStatesAndSelectionInStep) {
  CGridCtrl& grid = MakeGrid();
  grid.EnableDragAndDrop(false);
  grid.SetGridLines(GVL_BOTH);
  grid.SetSortOnHeaderClick(false);
  grid.EnableSelection(true);
  grid.SetSingleRowSelection(true);
  grid.SetEditable(true);
  grid.SetColumnResize(true);
  grid.SetRowResize(true);
  grid.SetHeaderClickSelectsColumn(false);
  grid.SetFocusHeaderTracking(false);
  ASSERT_TRUE(grid.SetFixedRowCount(1));
  ASSERT_TRUE(grid.SetFixedColumnCount(1));
  ASSERT_TRUE(grid.SetRowCount(1));
  ASSERT_TRUE(grid.SetColumnCount(4));
  GRIDITEM header;
  header.row = 0;
  header.col = 1;
  header.mask = GIF_TEXT | GIF_FORMAT;
  header.nFormat = DT_WORDBREAK;
  header.strText = "IP";
  ASSERT_TRUE(grid.SetItem(&header));
  ASSERT_TRUE(grid.SetColumnWidth(1, 135));
  for (int n = 1; n <= 3; ++n) {
    ASSERT_EQ(grid.InsertRow(std::to_string(grid.GetRowCount())), n);
    grid.SetItemText(n, 1, "10.0.0." + std::to_string(n));
  }
  EXPECT_EQ(grid.GetItemText(3, 0), "3");
  EXPECT_TRUE(grid.RedrawRow(3));
  grid.SetSelectedRange(2, 1, 2, 3);
  for (int c = 1; c <= 3; ++c) {
    grid.SetItemState(2, c, 0x0F00);
    grid.SetItemState(1, c, CELL_FOCUSED | CELL_SELECTED);
  }
  EXPECT_EQ(grid.GetSelectedCount(), 3);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 1, 1, 3));
  EXPECT_TRUE(grid.IsCellSelected(1, 2));
  EXPECT_FALSE(grid.IsCellSelected(2, 2));
  ASSERT_TRUE(grid.DeleteRow(grid.GetSelectedCellRange().minRow));
  EXPECT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, ClickCommandIsPostedToTheHandler) {
  struct CommandSpy : NotifySpy {
    void OnGridCommand(CGridCtrl*, unsigned id) override { ids.push_back(id); }
    std::vector<unsigned> ids;
  } spy;
  CGridCtrl& grid = Grid();
  grid.SetNotifyHandler(&spy);
  grid.SetDlgCtrlID(1000);
  Click(At(2, 2));
  EXPECT_TRUE(spy.ids.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(spy.ids, std::vector<unsigned>{1000});
}

}  // namespace
}  // namespace kelvanor::testing
