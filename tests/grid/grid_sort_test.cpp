// Sorting by a column: header clicks cycling the direction, rows moving whole with their
// heights, fixed rows staying, and an order built to make the row sort go deepest.
#include <sys/mman.h>
#include <ucontext.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridSortTest : public GridTest {
 protected:
  // 1 fixed row and column; column 1 holds the keys, column 2 a tag of the row.
  CGridCtrl& SortGrid(const std::vector<std::string>& keys) {
    CGridCtrl& grid = MakeFilledGrid(static_cast<int>(keys.size()) + 1, 3, 1, 1);
    for (size_t i = 0; i < keys.size(); ++i) {
      grid.SetItemText(static_cast<int>(i) + 1, 1, keys[i]);
      grid.SetItemText(static_cast<int>(i) + 1, 2, "tag" + keys[i]);
    }
    grid.SetSortOnHeaderClick(true);
    return grid;
  }
  static std::vector<std::string> Column(const CGridCtrl& grid, int col) {
    std::vector<std::string> texts;
    for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r) texts.push_back(grid.GetItemText(r, col));
    return texts;
  }
};

TEST_F(GridSortTest, HeaderClicksSortAscendingThenDescendingThenAscending) {
  CGridCtrl& grid = SortGrid({"b", "a", "D", "c", "a"});
  const std::string header = grid.GetItemText(0, 1);
  Click(At(0, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"D", "a", "a", "b", "c"}));
  EXPECT_TRUE(grid.GetSortAscending());
  EXPECT_EQ(grid.GetSortColumn(), 1);
  Click(At(0, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"c", "b", "a", "a", "D"}));
  EXPECT_FALSE(grid.GetSortAscending());
  Click(At(0, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"D", "a", "a", "b", "c"}));
  EXPECT_EQ(grid.GetItemText(0, 1), header);
  EXPECT_EQ(grid.GetItemText(0, 2), "0,2");
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridSortTest, RowsMoveWholeWithTheirHeights) {
  CGridCtrl& grid = SortGrid({"c", "a", "b"});
  grid.SetRowHeight(1, 33);  // the row of "c"
  grid.SetRowHeight(3, 0);   // the row of "b", hidden
  grid.SortByColumn(1, true);
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"taga", "tagb", "tagc"}));
  EXPECT_EQ(grid.GetRowHeight(2), 0);
  EXPECT_EQ(grid.GetRowHeight(3), 33);
  EXPECT_EQ(grid.GetRowHeight(1), 20);
}

TEST_F(GridSortTest, SortDropsSelectionAndFocusAndAnEditRemovesTheMark) {
  CGridCtrl& grid = SortGrid({"b", "a"});
  Click(At(1, 1));
  ASSERT_EQ(grid.GetSelectedCount(), 1);
  grid.SortByColumn(1, true);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CCellID());
  grid.SetModified(2, 1);
  EXPECT_EQ(grid.GetSortColumn(), -1);
}

TEST_F(GridSortTest, HeaderSortingOffLeavesTheRows) {
  CGridCtrl& grid = SortGrid({"b", "a"});
  grid.SetSortOnHeaderClick(false);
  Click(At(0, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(grid.GetSortColumn(), -1);
}

// Runs work on a stack of the given size, so that deep recursion faults instead of
// passing unnoticed in the main thread's large stack.
void RunOnSmallStack(size_t size, std::function<void()> work) {
  const size_t page = 4096;
  void* memory = mmap(nullptr, size + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  mprotect(memory, page, PROT_NONE);  // a guard page below the stack
  static ucontext_t caller, callee;
  static std::function<void()>* job;
  job = &work;
  getcontext(&callee);
  callee.uc_stack.ss_sp = static_cast<char*>(memory) + page;
  callee.uc_stack.ss_size = size;
  callee.uc_link = &caller;
  makecontext(&callee, [] { (*job)(); }, 0);
  swapcontext(&caller, &callee);
  munmap(memory, size + page);
}

// Keys for rows first .. first + n - 1 that make the middle row the largest of every range
// the sort partitions: each partition then splits off one row and the rest is partitioned
// again, one level deeper.
std::vector<std::string> MiddleMaximumOrder(int first, int n) {
  std::vector<int> at(static_cast<size_t>(n)), value(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) at[static_cast<size_t>(i)] = i;
  auto slot = [&](int row) -> int& { return at[static_cast<size_t>(row - first)]; };
  for (int high = first + n - 1; high > first; --high) {
    value[static_cast<size_t>(slot((first + high) / 2))] = high;
    std::swap(slot((first + high) / 2), slot(high));
  }
  value[static_cast<size_t>(slot(first))] = first;
  std::vector<std::string> keys;
  char text[16];
  for (int v : value) {
    std::snprintf(text, sizeof text, "%08d", v);
    keys.push_back(text);
  }
  return keys;
}

TEST_F(GridSortTest, RegressionAdversarialOrderDoesNotExhaustTheStack) {
  const int rows = 10000;  // one stack frame per level would need far more than 256 KiB
  CGridCtrl& grid = SortGrid(MiddleMaximumOrder(1, rows));
  RunOnSmallStack(256 * 1024, [&] { grid.SortByColumn(1, true); });
  const std::vector<std::string> sorted = Column(grid, 1);
  ASSERT_EQ(sorted.size(), static_cast<size_t>(rows));
  EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
  EXPECT_EQ(grid.GetItemText(rows, 2), "tag" + sorted.back());
}

}  // namespace
}  // namespace kelvanor::testing
