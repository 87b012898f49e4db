// Keyboard navigation: arrows at the edges, Shift extension, Page Up/Down, Home/End, Tab
// and Shift+Tab, hidden rows and columns, scrolling to the focus, Ctrl+A.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridKeyboardTest = GridTest;

struct Move {
  const char* name;
  CCellID from;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  CCellID to;
  std::pair<int, int> hiddenRows{0, 0};  // first and one past the last
  int hiddenColumn = -1;
};

class GridMoveTest : public GridKeyboardTest, public ::testing::WithParamInterface<Move> {};

TEST_P(GridMoveTest, MovesTheFocusAndTheSelection) {
  CGridCtrl& grid = Grid(10, true);
  const Move& move = GetParam();
  for (int r = move.hiddenRows.first; r < move.hiddenRows.second; ++r) grid.SetRowHeight(r, 0);
  if (move.hiddenColumn >= 0) grid.SetColumnWidth(move.hiddenColumn, 0);
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
  EXPECT_TRUE(grid.hasFocus());
}

constexpr auto kNone = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, GridMoveTest,
    ::testing::Values(Move{"Down", {2, 2}, Qt::Key_Down, kNone, {3, 2}},
                      Move{"DownFromTheLastRow", {9, 2}, Qt::Key_Down, kNone, {9, 2}},
                      Move{"UpFromTheFirstScrollableRow", {1, 2}, Qt::Key_Up, kNone, {1, 2}},
                      Move{"LeftFromTheFirstScrollableColumn", {3, 1}, Qt::Key_Left, kNone, {3, 1}},
                      Move{"RightFromTheLastColumn", {3, 4}, Qt::Key_Right, kNone, {3, 4}},
                      Move{"Home", {5, 3}, Qt::Key_Home, kNone, {5, 1}}, Move{"End", {5, 2}, Qt::Key_End, kNone, {5, 4}},
                      Move{"CtrlHome", {5, 3}, Qt::Key_Home, Qt::ControlModifier, {1, 1}},
                      Move{"CtrlEnd", {5, 2}, Qt::Key_End, Qt::ControlModifier, {9, 4}},
                      Move{"PageDownWhenTheViewCannotScroll", {2, 2}, Qt::Key_PageDown, kNone, {9, 2}},
                      Move{"PageUpWhenTheViewCannotScroll", {6, 2}, Qt::Key_PageUp, kNone, {1, 2}},
                      Move{"TabAtTheEndOfARow", {3, 4}, Qt::Key_Tab, kNone, {4, 1}},
                      Move{"TabAtTheEndOfTheLastRow", {9, 4}, Qt::Key_Tab, kNone, {9, 4}},
                      Move{"ShiftTabAtTheStartOfARow", {4, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {3, 4}},
                      Move{"DownOverAHiddenRow", {2, 1}, Qt::Key_Down, kNone, {4, 1}, {3, 4}},
                      Move{"UpOverAHiddenRow", {4, 3}, Qt::Key_Up, kNone, {2, 3}, {3, 4}},
                      Move{"RightOverAHiddenColumn", {4, 1}, Qt::Key_Right, kNone, {4, 3}, {}, 2},
                      Move{"TabWhenEveryRowBelowIsHidden", {5, 4}, Qt::Key_Tab, kNone, {5, 4}, {6, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridKeyboardTest, ShiftExtendsFromTheSelectionStart) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(2, 2));
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 2, 3, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_TRUE(grid.IsCellSelected(4, 3));
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(grid.GetSelectedCount(), 9 * 4);
}

TEST_F(GridKeyboardTest, MovingPastTheBottomScrollsTheFocusIntoView) {
  CGridCtrl& grid = Grid(60, true);
  grid.SetFocusCell(1, 1);
  for (int i = 0; i < 20; ++i) Key(Qt::Key_Down);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(21, 1, &rect));
  EXPECT_EQ(rect.bottom, 299);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 0);
}

TEST_F(GridKeyboardTest, OnlyFixedCellsMeanArrowsDoNothing) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 3, 1);
  Activate();
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
}

}  // namespace
}  // namespace kelvanor::testing
