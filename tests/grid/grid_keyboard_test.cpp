// Keyboard navigation: arrows at the edges, Page Up/Down, Home/End, Tab and Shift+Tab,
// hidden rows and columns, Shift extension, Ctrl+A and scrolling to the focus.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridKeyboardTest = GridTest;

TEST_F(GridKeyboardTest, KeysMoveTheFocusAndASingleSelection) {
  struct Move {
    CCellID from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    CCellID to;
    int hiddenRows = 0;  // from row 3 on (rows 3 .. 3 + n - 1)
    int hiddenColumn = -1;
  };
  const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier;
  const Move moves[] = {{{2, 2}, Qt::Key_Down, none, {3, 2}},         {{9, 2}, Qt::Key_Down, none, {9, 2}},
                        {{1, 2}, Qt::Key_Up, none, {1, 2}},           {{3, 1}, Qt::Key_Left, none, {3, 1}},
                        {{3, 4}, Qt::Key_Right, none, {3, 4}},        {{5, 3}, Qt::Key_Home, none, {5, 1}},
                        {{5, 2}, Qt::Key_End, none, {5, 4}},          {{5, 3}, Qt::Key_Home, ctrl, {1, 1}},
                        {{5, 2}, Qt::Key_End, ctrl, {9, 4}},          {{2, 2}, Qt::Key_PageDown, none, {9, 2}},
                        {{6, 2}, Qt::Key_PageUp, none, {1, 2}},       {{3, 4}, Qt::Key_Tab, none, {4, 1}},
                        {{9, 4}, Qt::Key_Tab, none, {9, 4}},          {{4, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {3, 4}},
                        {{2, 1}, Qt::Key_Down, none, {4, 1}, 1},      {{4, 3}, Qt::Key_Up, none, {2, 3}, 1},
                        {{4, 1}, Qt::Key_Right, none, {4, 3}, 0, 2},  {{2, 4}, Qt::Key_Tab, none, {2, 4}, 7}};
  for (const Move& move : moves) {
    SCOPED_TRACE(::testing::Message() << "key " << move.key << " from " << move.from.row << "," << move.from.col);
    CGridCtrl& grid = Grid(10, true);
    for (int r = 3; r < 3 + move.hiddenRows; ++r) grid.SetRowHeight(r, 0);
    if (move.hiddenColumn >= 0) grid.SetColumnWidth(move.hiddenColumn, 0);
    grid.SetFocusCell(move.from);
    Key(move.key, move.modifiers);
    EXPECT_EQ(grid.GetFocusCell(), move.to);
    const bool moved = move.to != move.from;
    EXPECT_EQ(spy_.calls.size(), moved ? 2u : 0u);  // selection changing, then changed
    EXPECT_EQ(std::tuple(grid.GetSelectedCount(), grid.IsCellSelected(move.to), grid.hasFocus()),
              std::tuple(moved ? 1 : 0, moved, true));
    spy_.calls.clear();
  }
}

TEST_F(GridKeyboardTest, ShiftExtendsFromTheSelectionStartAndCtrlASelectsAll) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(2, 2));
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(2, 2, 3, 3), 4));
  Key(Qt::Key_Down);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(4, 3, 4, 3), 1));
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(grid.GetSelectedCount(), 9 * 4);
}

TEST_F(GridKeyboardTest, MovingPastTheBottomScrollsTheFocusJustIntoView) {
  CGridCtrl& grid = Grid(60, true);
  grid.SetFocusCell(1, 1);
  for (int i = 0; i < 20; ++i) Key(Qt::Key_Down);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(21, 1, &rect));
  EXPECT_EQ(rect.bottom, 299);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 0);
  MakeFilledGrid(3, 3, 3, 1);  // only fixed cells: nothing to move to
  Activate();
  Key(Qt::Key_Down);
  EXPECT_EQ(grid_->GetFocusCell(), CCellID());
}

}  // namespace
}  // namespace kelvanor::testing
