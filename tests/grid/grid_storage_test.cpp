// Rows, columns, cells and items of CGridCtrl: growth, shrinking, insertion, deletion,
// fixed flags, bad indexes, the cell class and running out of memory.
#include <functional>
#include <new>

#include "grid_test_support.h"
#include "platform/message_box.h"

namespace kelvanor::testing {
namespace {

using GridStorageTest = GridTest;

std::uint32_t FixedBits(const CGridCtrl& grid, int row, int col) {
  return grid.GetItemState(row, col) & (CELL_FIXED | CELL_FIXEDROW | CELL_FIXEDCOL);
}

TEST_F(GridStorageTest, GrowingAndShrinkingKeepsTheContentThatStaysAndDropsTheFocus) {
  CGridCtrl& grid = MakeFilledGrid(5, 3, 1, 1);
  grid.SetFocusCell(4, 2);
  ASSERT_TRUE(grid.SetRowCount(8) && grid.SetColumnCount(5));
  EXPECT_EQ(std::pair(grid.GetItemText(4, 2), grid.GetItemText(7, 4)), std::pair(std::string("4,2"), std::string()));
  EXPECT_EQ(std::pair(FixedBits(grid, 7, 0), FixedBits(grid, 0, 4)),
            std::pair(CELL_FIXED | CELL_FIXEDCOL, CELL_FIXED | CELL_FIXEDROW));
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 2));
  ASSERT_TRUE(grid.SetRowCount(2) && grid.SetColumnCount(2));
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  EXPECT_EQ(grid.GetCell(2, 0), grid.GetCell(0, 2));  // both gone
  EXPECT_EQ(grid.GetFocusCell(), CCellID());
  EXPECT_TRUE(grid.checkConsistency());
  ASSERT_TRUE(grid.SetRowCount(0));
  EXPECT_EQ(std::tuple(grid.GetFixedRowCount(), grid.GetTotalHeight()), std::tuple(0, 0));
}

TEST_F(GridStorageTest, FixedCountsMarkCellsAndResetColoursExceptWhereTheOtherBandKeepsThem) {
  CGridCtrl& grid = MakeFilledGrid(1, 3, 0, 1);
  grid.SetItemBackColor(0, 2, RGB(1, 2, 3));
  ASSERT_TRUE(grid.SetFixedRowCount(2));  // more than the rows: the grid grows
  EXPECT_EQ(grid.GetRowCount(), 2);
  EXPECT_EQ(std::tuple(FixedBits(grid, 1, 1), grid.GetCell(0, 2)->GetBackColor()),
            std::tuple(CELL_FIXED | CELL_FIXEDROW, CLR_DEFAULT));
  grid.SetItemBackColor(0, 0, RGB(9, 9, 9));
  ASSERT_TRUE(grid.SetFixedRowCount(0));
  EXPECT_EQ(std::tuple(FixedBits(grid, 0, 0), grid.GetCell(0, 0)->GetBackColor(), FixedBits(grid, 0, 2)),
            std::tuple(CELL_FIXED | CELL_FIXEDCOL, RGB(9, 9, 9), 0u));
  ASSERT_TRUE(grid.SetFixedColumnCount(0));
  EXPECT_EQ(std::tuple(FixedBits(grid, 0, 0), grid.GetCell(0, 0)->GetBackColor()), std::tuple(0u, CLR_DEFAULT));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, InsertAndDeleteRowsShiftContentClearTheSelectionAndDropTheSortMark) {
  CGridCtrl& grid = MakeGrid();
  EXPECT_EQ(grid.InsertRow(""), 0);  // without columns it makes one
  EXPECT_EQ(grid.GetColumnCount(), 1);
  grid.SetColumnCount(3);
  grid.SetFixedColumnCount(1);
  grid.SetFixedRowCount(1);
  grid.SetSortColumn(1);
  EXPECT_EQ(grid.InsertRow("7"), 1);
  EXPECT_EQ(grid.GetSortColumn(), -1);
  EXPECT_EQ(grid.GetRowHeight(1), 20);  // the heading's height, not the default cell's 21
  EXPECT_TRUE(grid.GetItemState(1, 0) & CELL_MODIFIED);
  EXPECT_EQ(std::pair(FixedBits(grid, 1, 0), FixedBits(grid, 1, 1)), std::pair(CELL_FIXED | CELL_FIXEDCOL, 0u));
  grid.InsertRow("8");
  grid.SetRowHeight(2, 33);
  grid.SetFocusCell(1, 1);
  grid.SetSelectedRange(1, 1, 2, 2);
  ASSERT_TRUE(grid.DeleteRow(1));
  EXPECT_EQ(std::tuple(grid.GetItemText(1, 0), grid.GetRowHeight(1), grid.GetSelectedCount(), grid.GetFocusCell()),
            std::tuple(std::string("8"), 33, 0, CCellID()));
  ASSERT_TRUE(grid.DeleteRow(0));
  EXPECT_EQ(grid.GetFixedRowCount(), 0);
  ASSERT_TRUE(grid.DeleteAllItems());
  EXPECT_EQ(std::tuple(grid.GetRowCount(), grid.GetColumnCount(), grid.GetFixedColumnCount(), grid.GetTotalWidth()),
            std::tuple(0, 0, 0, 0));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, BadIndexesAndSizesChangeNothing) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  for (const auto& [row, col] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {70000, 70000}}) {
    SCOPED_TRACE(::testing::Message() << row << "," << col);
    GRIDITEM item;
    item.row = row;
    item.col = col;
    item.mask = GIF_TEXT;
    EXPECT_FALSE(grid.IsValid(row, col) || grid.GetCell(row, col) || grid.SetItem(&item));
    EXPECT_FALSE(grid.SetItemText(row, col, "x") || grid.SetItemState(row, col, CELL_SELECTED));
    EXPECT_EQ(std::pair(grid.GetItemText(row, col), grid.GetItemState(row, col)), std::pair(std::string(), 0u));
    grid.SetItemBackColor(row, col, RGB(1, 1, 1));
  }
  EXPECT_EQ(std::tuple(grid.GetRowHeight(-1), grid.GetRowHeight(3), grid.GetColumnWidth(3)), std::tuple(-1, -1, -1));
  EXPECT_FALSE(grid.SetRowHeight(3, 10) || grid.SetColumnWidth(-1, 10) || grid.SetRowHeight(0, -1));
  EXPECT_FALSE(grid.DeleteRow(-1) || grid.DeleteRow(3) || grid.SetRowCount(-2) || grid.SetFixedColumnCount(-1));
  EXPECT_FALSE(grid.SetItem(nullptr));
  EXPECT_TRUE(grid.SetRowHeight(2, 40));
  EXPECT_EQ(std::tuple(grid.GetRowCount(), grid.GetTotalHeight(), grid.GetSelectedCount()), std::tuple(3, 80, 0));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, SetItemAppliesOnlyTheMaskedFields) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 1, 1);
  GRIDITEM item;
  item.row = item.col = 1;
  item.mask = GIF_TEXT | GIF_FORMAT | GIF_PARAM | GIF_MARGIN;
  item.strText = Gbk(u8"端口");
  item.nFormat = DT_WORDBREAK;
  item.lParam = 77;
  item.nMargin = 9;
  item.crBkClr = RGB(5, 5, 5);
  ASSERT_TRUE(grid.SetItem(&item));
  const CGridCellBase* cell = grid.GetCell(1, 1);
  EXPECT_EQ(std::tuple(cell->GetText(), cell->GetFormat(), cell->GetData(), cell->GetMargin(), cell->GetBackColor()),
            std::tuple(Gbk(u8"端口"), DT_WORDBREAK, 77u, 9u, CLR_DEFAULT));
  EXPECT_TRUE(cell->IsModified());
}

// A cell class of the caller's own, one without cells, and one that runs out of memory.
class TaggedCell : public CGridCell {
  std::uint32_t GetData() const override { return 4242; }
};
int g_cellsBeforeFailure = 0;
const GridCellClass kTaggedClass{"Tagged", [] { return static_cast<CGridCellBase*>(new TaggedCell); }};
const GridCellClass kNoCellClass{"Nothing", nullptr};
const GridCellClass kFailingClass{"Failing", [] {
                                    if (g_cellsBeforeFailure-- <= 0) throw std::bad_alloc();
                                    return static_cast<CGridCellBase*>(new CGridCell);
                                  }};

TEST_F(GridStorageTest, CellsComeFromTheCellClassAndMissingCellsAreSkipped) {
  CGridCtrl& grid = MakeGrid();
  grid.SetCellClass(&kTaggedClass);
  grid.SetRowCount(2);
  grid.SetColumnCount(2);
  EXPECT_EQ(grid.GetCell(1, 1)->GetData(), 4242u);
  grid.SetCellClass(&kNoCellClass);
  grid.SetRowCount(3);
  EXPECT_FALSE(grid.GetCell(2, 0) || grid.SetItemText(2, 0, "x"));
  grid.SetCellClass(nullptr);
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.GetCell(0, 2), nullptr);
  EXPECT_TRUE(grid.checkConsistency());
  Render();  // empty positions are skipped when painting
}

TEST_F(GridStorageTest, GrowthFailureShowsTheMemoryMessageAndKeepsTheGrid) {
  std::vector<std::string> messages;
  const MessageBoxHook previous = SetMessageBoxHook([&](const MessageBoxCall& call) {
    messages.push_back(call.text);
    return kIdOk;
  });
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  grid.SetCellClass(&kFailingClass);
  for (const auto& [cells, grow] : {std::pair<int, std::function<bool()>>{5, [&] { return grid.SetRowCount(10); }},
                                    {2, [&] { return grid.SetColumnCount(6); }},
                                    {1, [&] { return grid.InsertRow("h") >= 0; }},
                                    {0, [&] { return grid.SetFixedRowCount(5); }}}) {
    g_cellsBeforeFailure = cells;
    EXPECT_FALSE(grow());
  }
  SetMessageBoxHook(previous);
  EXPECT_EQ(messages, std::vector<std::string>(4, "Out of memory."));
  EXPECT_EQ(std::tuple(grid.GetRowCount(), grid.GetColumnCount(), grid.GetFixedRowCount(), grid.GetTotalHeight()),
            std::tuple(3, 3, 1, 60));
  EXPECT_EQ(grid.GetItemText(2, 2), "2,2");
  EXPECT_TRUE(grid.checkConsistency());
}

}  // namespace
}  // namespace kelvanor::testing
