// Cells, rows and columns: attributes inherited from the default cells, shape changes,
// bad indexes, and the size index against running sums.
#include <random>

#include "grid/size_index.h"
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridStorageTest = GridTest;

std::uint32_t FixedBits(const CGridCtrl& grid, int row, int col) {
  return grid.GetItemState(row, col) & (CELL_FIXED | CELL_FIXEDROW | CELL_FIXEDCOL);
}

TEST_F(GridStorageTest, UnsetAttributesComeFromTheAreasDefaultCellAndCopiesMakeThemOwn) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  for (const auto& [row, col] : {std::pair{2, 2}, {2, 0}, {0, 2}, {0, 0}}) {
    const std::uint32_t value = 0x10u * (row + 1) + (col + 1);  // one of its own for each area
    CGridCellBase* cell = grid.GetCell(row, col);
    cell->SetFormat(kUnsetFormat);
    grid.GetDefaultCell(row == 0, col == 0)->SetFormat(value);
    grid.GetDefaultCell(row == 0, col == 0)->SetMargin(value);
    EXPECT_EQ(std::pair(cell->GetFormat(), cell->GetMargin()), std::pair(value, value));
  }
  CGridCell copy;
  copy = *grid.GetCell(2, 2);
  grid.GetDefaultCell(false, false)->SetMargin(1);
  EXPECT_EQ(std::tuple(copy.GetText(), copy.GetMargin(), copy.UsesDefaultFont()), std::tuple("2,2", 0x33u, true));
}

TEST_F(GridStorageTest, GrowingAndShrinkingKeepsTheContentThatStaysDropsTheFocusAndMakesCellsOfTheClass) {
  CGridCtrl& grid = MakeFilledGrid(5, 3, 1, 1);
  grid.SetFocusCell(4, 2);
  ASSERT_TRUE(grid.SetRowCount(8) && grid.SetColumnCount(5));
  EXPECT_EQ(std::tuple(grid.GetItemText(4, 2), FixedBits(grid, 7, 0), FixedBits(grid, 0, 4), grid.GetFocusCell()),
            std::tuple(std::string("4,2"), CELL_FIXED | CELL_FIXEDCOL, CELL_FIXED | CELL_FIXEDROW, CCellID(4, 2)));
  ASSERT_TRUE(grid.SetRowCount(2) && grid.SetColumnCount(2));
  EXPECT_EQ(std::tuple(grid.GetItemText(1, 1), grid.GetCell(2, 0), grid.GetCell(0, 2), grid.GetFocusCell()),
            std::tuple(std::string("1,1"), nullptr, nullptr, CCellID()));
  grid.SetCellClass(nullptr);  // no class, no cells: their places stay empty
  ASSERT_TRUE(grid.SetRowCount(3));
  EXPECT_FALSE(grid.GetCell(2, 0) || grid.SetItemText(2, 0, "x"));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, InsertAndDeleteRowsShiftContentClearTheSelectionAndDropTheSortMark) {
  CGridCtrl& grid = MakeGrid();
  EXPECT_EQ(grid.InsertRow(""), 0);
  grid.SetColumnCount(3);  // the insert made the first column
  grid.SetFixedRowCount(1);
  grid.SetSortColumn(1);
  EXPECT_EQ(grid.InsertRow("7"), 1);
  EXPECT_EQ(std::pair(grid.GetSortColumn(), grid.GetRowHeight(1)), std::pair(-1, 20));
  grid.InsertRow("8");
  grid.SetRowHeight(2, 33);
  grid.SetSelectedRange(1, 1, 2, 2);
  ASSERT_TRUE(grid.DeleteRow(1) && grid.DeleteRow(0));
  EXPECT_EQ(std::tuple(grid.GetItemText(0, 0), grid.GetRowHeight(0), grid.GetFixedRowCount(), grid.GetSelectedCount(),
                       grid.GetColumnCount()),
            std::tuple(std::string("8"), 33, 0, 0, 3));
  EXPECT_TRUE(grid.DeleteAllItems() && grid.checkConsistency() && grid.GetTotalHeight() + grid.GetTotalWidth() == 0);
}

TEST_F(GridStorageTest, BadIndexesAndSizesChangeNothingAndSetItemOnlyTheMaskedFields) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  GRIDITEM item;
  item.mask = GIF_TEXT | GIF_PARAM;
  item.strText = Gbk(u8"端口");
  item.lParam = 77;
  item.crBkClr = RGB(5, 5, 5);
  for (const auto& [row, col] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {70000, 70000}}) {
    std::tie(item.row, item.col) = std::pair(row, col);
    EXPECT_FALSE(grid.GetCell(row, col) || grid.SetItem(&item) || grid.SetItemState(row, col, 1)) << row;
  }
  EXPECT_FALSE(grid.SetRowHeight(3, 10) || grid.SetColumnWidth(-1, 10) || grid.SetRowHeight(0, -1));
  EXPECT_FALSE(grid.DeleteRow(-1) || grid.DeleteRow(3) || grid.SetRowCount(-2) || grid.SetFixedColumnCount(-1));
  EXPECT_TRUE(grid.SetRowHeight(2, 40));
  EXPECT_EQ(std::tuple(grid.GetRowHeight(3), grid.GetRowCount(), grid.GetTotalHeight()), std::tuple(-1, 3, 80));
  std::tie(item.row, item.col) = std::pair(1, 1);
  ASSERT_TRUE(grid.SetItem(&item));
  const CGridCellBase* cell = grid.GetCell(1, 1);
  EXPECT_EQ(std::tuple(cell->GetText(), cell->GetData(), cell->GetBackColor(), cell->IsModified()),
            std::tuple(Gbk(u8"端口"), 77u, CLR_DEFAULT, true));
}

TEST(SizeIndexTest, PrefixSumsAndSearchFollowEveryChange) {
  std::mt19937 random(3);
  SizeIndex index;
  std::vector<int> sizes;
  for (int i = 0; i < 500; ++i) index.Append(sizes.emplace_back(static_cast<int>(random() % 4) * 10));  // 0: hidden
  for (int big : {17, 18}) index.Set(big, sizes[big] = 2000000000);  // sums beyond 32 bits
  index.Erase(3);
  sizes.erase(sizes.begin() + 3);
  index.Truncate(400);
  sizes.resize(400);
  std::int64_t sum = 0;
  for (int n = 0; n < 400; sum += sizes[n++]) ASSERT_EQ(index.Prefix(n), sum);
  for (std::int64_t target : {std::int64_t{1}, std::int64_t{55}, std::int64_t{2000000001}, sum}) {
    const int n = index.LowerBound(target);  // the first prefix that reaches the target
    EXPECT_TRUE(index.Prefix(n) >= target && index.Prefix(n - 1) < target) << target;
  }
  EXPECT_EQ(std::tuple(index.Total(), index.LowerBound(0), index.LowerBound(sum + 1), index.checkConsistency()),
            std::tuple(sum, 0, 401, true));
}

}  // namespace
}  // namespace kelvanor::testing
