// Keyboard navigation: arrows at the edges and with fixed rows, Shift extension, Page
// Up/Down, Home/End, Tab and Shift+Tab, hidden rows and columns.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridKeyboardTest : public SpiedGridTest {
 protected:
  CGridCtrl& Grid(int rows = 10) { return SpiedGridTest::Grid(rows, true); }
};

struct Move {
  const char* name;
  CCellID from;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  CCellID to;
};

class GridMoveTest : public GridKeyboardTest, public ::testing::WithParamInterface<Move> {};

TEST_P(GridMoveTest, MovesTheFocusAndTheSelection) {
  CGridCtrl& grid = Grid();
  const Move move = GetParam();
  grid.SetFocusCell(move.from);
  Key(move.key, move.modifiers);
  EXPECT_EQ(grid.GetFocusCell(), move.to);
  if (move.to == move.from) {
    EXPECT_TRUE(spy_.calls.empty());
  } else {
    EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_SELCHANGING, GN_SELCHANGED}));
    EXPECT_TRUE(grid.IsCellSelected(move.to));
    EXPECT_EQ(grid.GetSelectedCount(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridMoveTest,
    ::testing::Values(Move{"Down", {2, 2}, Qt::Key_Down, Qt::NoModifier, {3, 2}},
                      Move{"DownFromTheLastRow", {9, 2}, Qt::Key_Down, Qt::NoModifier, {9, 2}},
                      Move{"UpFromTheFirstScrollableRow", {1, 2}, Qt::Key_Up, Qt::NoModifier, {1, 2}},
                      Move{"LeftFromTheFirstScrollableColumn", {3, 1}, Qt::Key_Left, Qt::NoModifier, {3, 1}},
                      Move{"RightFromTheLastColumn", {3, 4}, Qt::Key_Right, Qt::NoModifier, {3, 4}},
                      Move{"Home", {5, 3}, Qt::Key_Home, Qt::NoModifier, {5, 1}},
                      Move{"End", {5, 2}, Qt::Key_End, Qt::NoModifier, {5, 4}},
                      Move{"CtrlHome", {5, 3}, Qt::Key_Home, Qt::ControlModifier, {1, 1}},
                      Move{"CtrlEnd", {5, 2}, Qt::Key_End, Qt::ControlModifier, {9, 4}},
                      Move{"PageDownWhenTheViewCannotScroll", {2, 2}, Qt::Key_PageDown, Qt::NoModifier, {9, 2}},
                      Move{"PageUpWhenTheViewCannotScroll", {6, 2}, Qt::Key_PageUp, Qt::NoModifier, {1, 2}},
                      Move{"TabAtTheEndOfARow", {3, 4}, Qt::Key_Tab, Qt::NoModifier, {4, 1}},
                      Move{"TabAtTheEndOfTheLastRow", {9, 4}, Qt::Key_Tab, Qt::NoModifier, {9, 4}},
                      Move{"ShiftTabAtTheStartOfARow", {4, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {3, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridKeyboardTest, ShiftExtendsFromTheSelectionStart) {
  CGridCtrl& grid = Grid();
  Click(At(2, 2));
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 2, 3, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_TRUE(grid.IsCellSelected(4, 3));
}

TEST_F(GridKeyboardTest, HiddenRowsAndColumnsAreSkipped) {
  CGridCtrl& grid = Grid();
  grid.SetRowHeight(3, 0);
  grid.SetColumnWidth(2, 0);
  grid.SetFocusCell(2, 1);
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 1));
  Key(Qt::Key_Right);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 3));
  Key(Qt::Key_Up);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 3));
}

TEST_F(GridKeyboardTest, TabWhenEveryRowBelowIsHiddenKeepsTheFocusInTheGrid) {
  CGridCtrl& grid = Grid();
  for (int r = 6; r < 10; ++r) grid.SetRowHeight(r, 0);
  grid.SetFocusCell(5, 4);
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(5, 4));
  EXPECT_TRUE(grid.hasFocus());
}

TEST_F(GridKeyboardTest, MovingDownPastTheBottomScrolls) {
  CGridCtrl& grid = Grid(60);
  grid.SetFocusCell(1, 1);
  const int lastShown = grid.GetVisibleScrollingCells().maxRow;
  for (int i = 0; i < lastShown + 3; ++i) Key(Qt::Key_Down);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(grid.GetFocusCell().row, 1, &rect));
  EXPECT_LE(rect.bottom, grid.GetClientRect().bottom);
  EXPECT_GT(grid.GetScrollPosition(SB_VERT), 0);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 0);
}

TEST_F(GridKeyboardTest, OnlyFixedCellsMeanArrowsDoNothing) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 3, 1);
  Activate();
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
  Click(At(0, 2));  // header presses still select per the options
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridKeyboardTest, CtrlASelectsAll) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 2);
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(grid.GetSelectedCount(), 36);
}

}  // namespace
}  // namespace kelvanor::testing
