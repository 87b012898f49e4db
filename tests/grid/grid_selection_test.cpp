// Focus cell and selection by the mouse, the keys and the selection calls: clicks, drags
// with auto-scroll, headers, navigation keys, notifications, 16-bit keys and a press cut
// short by another window.
#include <QMenu>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridSelectionTest = GridTest;

TEST_F(GridSelectionTest, ClicksSelectExtendAndToggleWithNotificationsInOrder) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 1);
  Click(At(4, 3), Qt::ShiftModifier);  // no anchor yet: from the focus cell
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 1, 4, 3));
  EXPECT_EQ(std::tuple(spy_.Codes(), spy_.calls[2].iRow, spy_.calls[2].iColumn),
            std::tuple(std::vector<int>{GN_SELCHANGING, GN_SELCHANGED, NM_CLICK}, 4, 3));
  Click(At(7, 4), Qt::ControlModifier);  // adds to the selection
  Click(At(3, 2), Qt::ControlModifier);  // takes only that cell out
  EXPECT_TRUE(grid.GetSelectedCount() == 9 && grid.IsCellSelected(7, 4) && !grid.IsCellSelected(3, 2));
  Click(At(0, 2));  // headers select a column, a row, everything
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(1, 2, 9, 2));
  Click(At(4, 0));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(4, 1, 4, 4));
  Click(At(0, 0));
  grid.SetHeaderClickSelectsColumn(false);
  Click(At(0, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 9 * 4);
}

TEST_F(GridSelectionTest, DragSelectsTheRectangleUnderThePointerAndScrollsPastTheEdge) {
  CGridCtrl& grid = Grid(60);
  Press(At(2, 1));
  Drag(At(4, 3));
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 1, 4, 3));
  Drag(QPoint(150, 330));  // outside the view: left to the auto-scroll timer
  ASSERT_TRUE(QTest::qWaitFor([&] { return grid.GetScrollPosition(SB_VERT) >= 60; }));
  Release(QPoint(150, 330));
  const CCellBlock range = grid.GetSelectedCellRange();
  EXPECT_EQ(std::tuple(range.minRow, range.minCol, range.maxCol, range.maxRow > 17), std::tuple(2, 1, 2, true));
  EXPECT_EQ(std::pair(grid.GetSelectedCount(), grid.IsAutoScrolling()), std::pair(2 * (range.maxRow - 1), false));
}

TEST_F(GridSelectionTest, AnotherWindowTakingThePointerEndsTheGestureOfThePress) {
  for (bool popup : {false, true}) {
    for (QPoint at : {At(2, 2), QPoint(120, 10)}) {  // in a cell, on a column divider
      SCOPED_TRACE(::testing::Message() << (popup ? "a popup opens" : "another window becomes active") << " after a "
                                        << "press at x " << at.x());
      CGridCtrl& grid = Grid(10, true);
      Press(at);
      QMenu menu;
      QWidget other;
      menu.addAction("item");
      popup ? menu.popup(QPoint(500, 500)) : other.show();
      other.activateWindow();
      ASSERT_TRUE(QTest::qWaitFor([&] { return popup ? menu.isVisible() : other.isActiveWindow(); }));
      EXPECT_EQ(std::tuple(grid.GetMouseMode(), grid.IsAutoScrolling(), grid.GetTrackingLine()),
                std::tuple(MM_IDLE, false, QRect()));
      menu.close();
      Activate();
      const int selected = grid.GetSelectedCount();
      Hover(At(5, 3));  // with no button held
      EXPECT_EQ(grid.GetSelectedCount(), selected);
    }
  }
}

TEST_F(GridSelectionTest, PressesOnTheFocusTextOrTheSelectionPrepareAnEditOrADragThatAMoveStarts) {
  CGridCtrl& grid = Grid();
  Click(At(2, 2));
  Press(At(2, 2));
  Drag(At(2, 2) + QPoint(3, 0));
  EXPECT_EQ(grid.GetMouseMode(), MM_PREPARE_DRAG);
  Release(At(2, 2) + QPoint(3, 0));
  EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());  // a press on the focus text edits only if the pointer stays
  grid.EnableDragAndDrop(true);
  grid.SetSelectedRange(2, 2, 3, 3);
  spy_.calls.clear();
  Click(At(3, 3));  // a release on the selection with drag-and-drop on clears it
  EXPECT_EQ(std::tuple(grid.GetSelectedCount(), grid.GetFocusCell(), spy_.Codes()),
            std::tuple(0, CCellID(), std::vector<int>{NM_CLICK, GN_SELCHANGING, GN_SELCHANGED}));
}

TEST_F(GridSelectionTest, RangesAreClampedToTheScrollableCellsAndReduceOrReplaceTheSelection) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetFocusCell(0, 0);  // the focus goes to the nearest scrollable cell
  EXPECT_TRUE(grid.GetFocusCell() == CCellID(1, 1) && (grid.GetItemState(1, 1) & CELL_FOCUSED));
  grid.SetSelectedRange(0, 0, 5, 4);
  grid.SetSelectedRange(2, 2, 3, 3, false, false);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(1, 1, 5, 4), 20 - 4));
  grid.SetSelectedRange(1, 1, 10, 4);  // beyond the table: only the old selection goes
  EXPECT_FALSE(grid.GetSelectedCellRange().IsValid());
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_SELCHANGING, GN_SELCHANGED}));
  EXPECT_EQ(grid.GetSelectedCount(), 36);
  grid.EnableSelection(false);
  grid.SelectAllCells();
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, SelectionAtRow70000KeepsItsOwnKey) {
  CGridCtrl& grid = MakeGrid();
  grid.SetRowCount(70001);
  grid.SetColumnCount(2);
  grid.SetItemState(70000, 1, CELL_SELECTED);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(70000, 1, 70000, 1));
  EXPECT_FALSE(grid.IsCellSelected(70000 - 65536, 1));
  grid.SetSelectedRange(4464, 1, 4464, 1);  // shares 16-bit keys with row 70000
  EXPECT_EQ(std::pair(grid.IsCellSelected(70000, 1), grid.GetSelectedCount()), std::pair(false, 1));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridSelectionTest, KeysMoveTheFocusAndASingleSelection) {
  struct Move {
    CCellID from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    CCellID to;
    std::vector<int> hiddenRows = {}, hiddenColumns = {};
  };
  const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
  const Move moves[] = {{{2, 2}, Qt::Key_Down, none, {3, 2}},         {{9, 2}, Qt::Key_Down, none, {9, 2}},
                        {{1, 2}, Qt::Key_Up, none, {1, 2}},           {{3, 1}, Qt::Key_Left, none, {3, 1}},
                        {{3, 4}, Qt::Key_Right, none, {3, 4}},        {{5, 3}, Qt::Key_Home, none, {5, 1}},
                        {{5, 2}, Qt::Key_End, none, {5, 4}},          {{5, 3}, Qt::Key_Home, ctrl, {1, 1}},
                        {{5, 2}, Qt::Key_End, ctrl, {9, 4}},          {{2, 2}, Qt::Key_PageDown, none, {9, 2}},
                        {{6, 2}, Qt::Key_PageUp, none, {1, 2}},       {{3, 4}, Qt::Key_Tab, none, {4, 1}},
                        {{9, 4}, Qt::Key_Tab, none, {9, 4}},          {{4, 1}, Qt::Key_Backtab, shift, {3, 4}},
                        {{2, 1}, Qt::Key_Down, none, {4, 1}, {3}},    {{4, 3}, Qt::Key_Up, none, {2, 3}, {3}},
                        {{4, 1}, Qt::Key_Right, none, {4, 3}, {}, {2}},
                        {{2, 4}, Qt::Key_Tab, none, {2, 4}, {3, 4, 5, 6, 7, 8, 9}},
                        {{5, 1}, Qt::Key_End, none, {5, 1}, {}, {2, 3, 4}},
                        {{1, 2}, Qt::Key_End, ctrl, {1, 4}, {2, 3, 4, 5, 6, 7, 8, 9}},
                        {{5, 4}, Qt::Key_Home, ctrl, {2, 2}, {1}, {1}}};
  for (const Move& move : moves) {
    SCOPED_TRACE(::testing::Message() << "key " << move.key << " from " << move.from.row << "," << move.from.col);
    CGridCtrl& grid = Grid(10, true);
    for (int r : move.hiddenRows) grid.SetRowHeight(r, 0);
    for (int c : move.hiddenColumns) grid.SetColumnWidth(c, 0);
    grid.SetFocusCell(move.from);
    Key(move.key, move.modifiers);
    const bool moved = move.to != move.from;
    EXPECT_EQ(std::tuple(grid.GetFocusCell(), spy_.calls.size(), grid.GetSelectedCount(), grid.IsCellSelected(move.to)),
              std::tuple(move.to, moved ? 2u : 0u, moved ? 1 : 0, moved));  // two notifications: changing, changed
    EXPECT_TRUE(grid.hasFocus());
    spy_.calls.clear();
  }
}

}  // namespace
}  // namespace kelvanor::testing
