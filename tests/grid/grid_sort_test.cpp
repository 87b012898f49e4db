// Sorting by a column: header clicks cycling the direction, rows moving whole with their
// heights, the fixed row staying, and an order built to make the row sort go deepest.
#include <sys/mman.h>
#include <ucontext.h>

#include <algorithm>
#include <functional>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridSortTest : public GridTest {
 protected:
  // One fixed row and column; column 1 holds the keys, column 2 a tag of the row.
  CGridCtrl& SortGrid(const std::vector<std::string>& keys) {
    CGridCtrl& grid = MakeFilledGrid(static_cast<int>(keys.size()) + 1, 3, 1, 1);
    for (int r = 1; r <= static_cast<int>(keys.size()); ++r) {
      grid.SetItemText(r, 1, keys[r - 1]);
      grid.SetItemText(r, 2, "tag" + keys[r - 1]);
    }
    return grid;
  }
  std::vector<std::string> Column(int col) const {
    std::vector<std::string> texts;
    for (int r = 1; r < grid_->GetRowCount(); ++r) texts.push_back(grid_->GetItemText(r, col));
    return texts;
  }
};

TEST_F(GridSortTest, HeaderClicksSortWholeRowsAscendingThenDescendingAsBytesOnlyWhenAsked) {
  CGridCtrl& grid = SortGrid({"b", "a", "D", "c", "a"});
  grid.SetRowHeight(1, 33);  // the row of "b"
  grid.SetRowHeight(3, 0);   // the row of "D", hidden
  Click(At(0, 1));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "a", "D", "c", "a"}));
  grid.SetSortOnHeaderClick(true);
  for (bool ascending : {true, false, true}) {
    Click(At(0, 1));
    std::vector<std::string> expected{"D", "a", "a", "b", "c"};
    if (!ascending) std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(std::tuple(Column(1), grid.GetSortColumn(), grid.GetSortAscending()), std::tuple(expected, 1, ascending));
  }
  EXPECT_EQ(std::tuple(Column(2)[0], grid.GetRowHeight(1), grid.GetRowHeight(4), grid.GetItemText(0, 1)),
            std::tuple(std::string("tagD"), 0, 33, std::string("0,1")));  // cells and heights went with their rows
  Click(At(2, 1));
  grid.SortByColumn(1, true);
  EXPECT_EQ(std::pair(grid.GetSelectedCount(), grid.GetFocusCell()), std::pair(0, CCellID()));  // the sort drops them
  grid.SetModified(3, 1);
  EXPECT_EQ(grid.GetSortColumn(), -1);  // an edit of the column takes the mark away
  EXPECT_TRUE(grid.checkConsistency());
}

// Runs work on a stack of the given size, so that deep recursion faults instead of
// passing unnoticed on the main thread's large stack.
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

// Keys for rows 1 .. n that make the middle row the largest of every range the sort
// partitions: each partition splits off one row and the rest goes one level deeper.
std::vector<std::string> MiddleMaximumOrder(int n) {
  std::vector<int> at(n), value(n);  // at[row - 1]: the key slot now in that row
  for (int i = 0; i < n; ++i) at[i] = i;
  for (int high = n; high > 1; --high) {
    value[at[(1 + high) / 2 - 1]] = high;
    std::swap(at[(1 + high) / 2 - 1], at[high - 1]);
  }
  value[at[0]] = 1;
  std::vector<std::string> keys;
  for (int v : value) keys.push_back(std::string(8 - std::to_string(v).size(), '0') + std::to_string(v));
  return keys;
}

TEST_F(GridSortTest, RegressionAdversarialOrderDoesNotExhaustTheStack) {
  const int rows = 10000;  // one stack frame per level would need far more than 256 KiB
  CGridCtrl& grid = SortGrid(MiddleMaximumOrder(rows));
  RunOnSmallStack(256 * 1024, [&] { grid.SortByColumn(1, true); });
  const std::vector<std::string> sorted = Column(1);
  EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
  EXPECT_EQ(grid.GetItemText(rows, 2), "tag" + sorted.back());
}

}  // namespace
}  // namespace kelvanor::testing
