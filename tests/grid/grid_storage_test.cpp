// Rows, columns, cells and items of CGridCtrl: growth, shrinking, insertion, deletion,
// fixed flags, bad indexes, the cell class and running out of memory.
#include <new>

#include "grid_test_support.h"
#include "platform/message_box.h"

namespace kelvanor::testing {
namespace {

class GridStorageTest : public GridTest {};

std::uint32_t FixedBits(const CGridCtrl& grid, int row, int col) {
  return grid.GetItemState(row, col) & (CELL_FIXED | CELL_FIXEDROW | CELL_FIXEDCOL);
}

TEST_F(GridStorageTest, GrowingAndShrinkingKeepsTheContentThatStays) {
  CGridCtrl& grid = MakeFilledGrid(5, 3, 1, 1);
  ASSERT_TRUE(grid.SetRowCount(8));
  ASSERT_TRUE(grid.SetColumnCount(5));
  EXPECT_TRUE(grid.checkConsistency());
  EXPECT_EQ(grid.GetItemText(4, 2), "4,2");
  EXPECT_EQ(grid.GetItemText(7, 4), "");
  EXPECT_EQ(grid.GetRowHeight(7), grid.GetDefaultCell(false, false)->GetHeight());
  EXPECT_EQ(grid.GetColumnWidth(4), grid.GetDefaultCell(false, true)->GetWidth());
  EXPECT_EQ(FixedBits(grid, 7, 0), CELL_FIXED | CELL_FIXEDCOL);
  EXPECT_EQ(FixedBits(grid, 0, 4), CELL_FIXED | CELL_FIXEDROW);

  ASSERT_TRUE(grid.SetRowCount(2));
  ASSERT_TRUE(grid.SetColumnCount(2));
  EXPECT_TRUE(grid.checkConsistency());
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  EXPECT_EQ(grid.GetCell(2, 0), nullptr);
  EXPECT_EQ(grid.GetCell(0, 2), nullptr);
}

TEST_F(GridStorageTest, SetRowCountZeroDestroysEveryCellAndFixedRows) {
  CGridCtrl& grid = MakeFilledGrid(4, 3, 2, 1);
  ASSERT_TRUE(grid.SetRowCount(0));
  EXPECT_EQ(grid.GetRowCount(), 0);
  EXPECT_EQ(grid.GetFixedRowCount(), 0);
  EXPECT_EQ(grid.GetTotalHeight(), 0);
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, ShrinkingBelowTheFocusCellClearsIt) {
  CGridCtrl& grid = MakeFilledGrid(6, 4, 1, 1);
  grid.SetFocusCell(4, 2);
  ASSERT_TRUE(grid.GetItemState(4, 2) & CELL_FOCUSED);
  grid.SetRowCount(4);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
  grid.SetFocusCell(2, 3);
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, FixedRowCountAboveRowCountGrowsTheGrid) {
  CGridCtrl& grid = MakeFilledGrid(1, 3, 0, 0);
  grid.SetItemBackColor(0, 1, RGB(1, 2, 3));
  ASSERT_TRUE(grid.SetFixedRowCount(2));
  EXPECT_EQ(grid.GetRowCount(), 2);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(FixedBits(grid, r, c), CELL_FIXED | CELL_FIXEDROW);
      EXPECT_EQ(grid.GetCell(r, c)->GetBackColor(), CLR_DEFAULT);
      EXPECT_EQ(grid.GetCell(r, c)->GetForeColor(), CLR_DEFAULT);
    }
  }
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, LoweringFixedRowsKeepsFixedColumnsFixed) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  grid.SetItemBackColor(0, 0, RGB(9, 9, 9));
  grid.SetItemTextColor(0, 2, RGB(8, 8, 8));
  ASSERT_TRUE(grid.SetFixedRowCount(0));
  EXPECT_EQ(FixedBits(grid, 0, 0), CELL_FIXED | CELL_FIXEDCOL);
  EXPECT_EQ(grid.GetCell(0, 0)->GetBackColor(), RGB(9, 9, 9));  // fixed-column cells keep their colours
  EXPECT_EQ(FixedBits(grid, 0, 2), 0u);
  EXPECT_EQ(grid.GetCell(0, 2)->GetForeColor(), CLR_DEFAULT);
  ASSERT_TRUE(grid.SetFixedColumnCount(0));
  EXPECT_EQ(FixedBits(grid, 0, 0), 0u);
  EXPECT_EQ(grid.GetCell(0, 0)->GetBackColor(), CLR_DEFAULT);
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, InsertRowOnAGridWithoutColumnsMakesOne) {
  CGridCtrl& grid = MakeGrid();
  EXPECT_EQ(grid.InsertRow(""), 0);
  EXPECT_EQ(grid.GetColumnCount(), 1);
  EXPECT_EQ(grid.GetRowHeight(0), grid.GetDefaultCell(true, false)->GetHeight());
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, InsertRowAppendsWithTheHeadingAndItsHeight) {
  CGridCtrl& grid = MakeFilledGrid(2, 4, 1, 1);
  const int row = grid.InsertRow("7");
  EXPECT_EQ(row, 2);
  EXPECT_EQ(grid.GetItemText(2, 0), "7");
  EXPECT_EQ(grid.GetRowHeight(2), grid.GetCell(2, 0)->MeasureText("7").height());
  EXPECT_TRUE(grid.GetItemState(2, 0) & CELL_MODIFIED);
  EXPECT_EQ(FixedBits(grid, 2, 0), CELL_FIXED | CELL_FIXEDCOL);
  EXPECT_EQ(FixedBits(grid, 2, 1), 0u);
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, DeleteRowShiftsContentAndFixedRows) {
  CGridCtrl& grid = MakeFilledGrid(5, 2, 2, 0);
  grid.SetRowHeight(3, 33);
  ASSERT_TRUE(grid.DeleteRow(2));
  EXPECT_EQ(grid.GetRowCount(), 4);
  EXPECT_EQ(grid.GetItemText(2, 1), "3,1");
  EXPECT_EQ(grid.GetRowHeight(2), 33);
  EXPECT_EQ(grid.GetFixedRowCount(), 2);
  ASSERT_TRUE(grid.DeleteRow(0));
  EXPECT_EQ(grid.GetFixedRowCount(), 1);
  EXPECT_EQ(grid.GetItemText(0, 0), "1,0");
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, InsertAndDeleteRowLeaveNoSelectionAndNoFocus) {
  CGridCtrl& grid = MakeFilledGrid(5, 3, 1, 1);
  grid.SetFocusCell(2, 2);
  grid.SetSelectedRange(1, 1, 3, 2);
  grid.InsertRow("x");
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
  grid.SetFocusCell(2, 2);
  grid.SetSelectedRange(1, 1, 3, 2);
  grid.DeleteRow(4);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridStorageTest, DeleteAllItemsEmptiesTheGrid) {
  CGridCtrl& grid = MakeFilledGrid(4, 4, 1, 1);
  ASSERT_TRUE(grid.DeleteAllItems());
  EXPECT_EQ(grid.GetRowCount() + grid.GetColumnCount() + grid.GetFixedRowCount() + grid.GetFixedColumnCount(), 0);
  EXPECT_EQ(grid.GetTotalWidth(), 0);
  EXPECT_TRUE(grid.checkConsistency());
}

struct BadIndex {
  const char* name;
  int row, col;
};

class GridBadIndexTest : public GridTest, public ::testing::WithParamInterface<BadIndex> {};

TEST_P(GridBadIndexTest, ReturnsTheNoneValueAndChangesNothing) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  const auto [name, row, col] = GetParam();
  GRIDITEM item;
  item.row = row;
  item.col = col;
  item.mask = GIF_TEXT | GIF_STATE;
  item.strText = "x";
  item.nState = CELL_SELECTED;
  EXPECT_EQ(grid.GetCell(row, col), nullptr);
  EXPECT_EQ(grid.GetItemText(row, col), "");
  EXPECT_EQ(grid.GetItemState(row, col), 0u);
  EXPECT_FALSE(grid.SetItemText(row, col, "x"));
  EXPECT_FALSE(grid.SetItemState(row, col, CELL_SELECTED));
  EXPECT_FALSE(grid.SetItem(&item));
  grid.SetItemBackColor(row, col, RGB(1, 1, 1));
  grid.SetItemTextColor(row, col, RGB(1, 1, 1));
  EXPECT_FALSE(grid.IsValid(row, col));
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_TRUE(grid.checkConsistency());
}

INSTANTIATE_TEST_SUITE_P(Positions, GridBadIndexTest,
                         ::testing::Values(BadIndex{"NegativeRow", -1, 0}, BadIndex{"NegativeColumn", 0, -1},
                                           BadIndex{"RowPastTheEnd", 3, 0}, BadIndex{"ColumnPastTheEnd", 0, 3},
                                           BadIndex{"BothFarOut", 70000, 70000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridStorageTest, BadSizesAndIndexesOfRowsAndColumns) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  EXPECT_EQ(grid.GetRowHeight(-1), -1);
  EXPECT_EQ(grid.GetRowHeight(3), -1);
  EXPECT_EQ(grid.GetColumnWidth(3), -1);
  EXPECT_FALSE(grid.SetRowHeight(3, 10));
  EXPECT_FALSE(grid.SetColumnWidth(-1, 10));
  EXPECT_FALSE(grid.SetRowHeight(0, -1));
  EXPECT_FALSE(grid.DeleteRow(-1));
  EXPECT_FALSE(grid.DeleteRow(3));
  EXPECT_FALSE(grid.SetRowCount(-2));
  EXPECT_FALSE(grid.SetFixedColumnCount(-1));
  EXPECT_FALSE(grid.SetItem(nullptr));
  EXPECT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetTotalHeight(), 60);
}

TEST_F(GridStorageTest, SetItemAppliesOnlyTheMaskedFields) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 1, 1);
  GRIDITEM item;
  item.row = 1;
  item.col = 1;
  item.mask = GIF_TEXT | GIF_FORMAT | GIF_PARAM | GIF_MARGIN;
  item.strText = Gbk(u8"端口");
  item.nFormat = DT_WORDBREAK;
  item.lParam = 77;
  item.nMargin = 9;
  item.crBkClr = RGB(5, 5, 5);
  ASSERT_TRUE(grid.SetItem(&item));
  const CGridCellBase* cell = grid.GetCell(1, 1);
  EXPECT_EQ(cell->GetText(), Gbk(u8"端口"));
  EXPECT_EQ(cell->GetFormat(), DT_WORDBREAK);
  EXPECT_EQ(cell->GetData(), 77u);
  EXPECT_EQ(cell->GetMargin(), 9u);
  EXPECT_EQ(cell->GetBackColor(), CLR_DEFAULT);
  EXPECT_TRUE(cell->IsModified());
}

TEST_F(GridStorageTest, SortMarkGoesWithAnyChangeOfTheSortColumnOrOfTheShape) {
  CGridCtrl& grid = MakeFilledGrid(4, 3, 1, 0);
  grid.SetSortColumn(1);
  grid.SetItemText(2, 2, "other column");
  EXPECT_EQ(grid.GetSortColumn(), 1);
  grid.SetFixedRowCount(2);
  EXPECT_EQ(grid.GetSortColumn(), 1);
  grid.SetItemText(3, 1, "sort column");
  EXPECT_EQ(grid.GetSortColumn(), -1);
  grid.SetSortColumn(1);
  grid.InsertRow("");
  EXPECT_EQ(grid.GetSortColumn(), -1);
}

TEST_F(GridStorageTest, SelectedMapFollowsTheStateWhileSelectionIsDisabled) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  grid.EnableSelection(false);
  grid.SetItemState(1, 1, CELL_SELECTED);
  EXPECT_FALSE(grid.IsCellSelected(1, 1));  // disabled selection counts nothing as selected
  grid.SetItemState(1, 1, 0);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_TRUE(grid.checkConsistency());
}

// A cell class whose creation runs out of memory after a number of cells.
int g_cellsBeforeFailure = 0;
CGridCellBase* CellThatRunsOutOfMemory() {
  if (g_cellsBeforeFailure-- <= 0) throw std::bad_alloc();
  return new CGridCell;
}
const GridCellClass kFailingClass{"Failing", &CellThatRunsOutOfMemory};

class GridMemoryTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    previous_ = SetMessageBoxHook([this](const MessageBoxCall& call) {
      messages_.push_back(call.text);
      return kIdOk;
    });
  }
  void TearDown() override { SetMessageBoxHook(previous_); }
  std::vector<std::string> messages_;
  MessageBoxHook previous_;
};

TEST_F(GridMemoryTest, GrowthFailureShowsTheMemoryMessageAndKeepsTheGrid) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  grid.SetCellClass(&kFailingClass);
  g_cellsBeforeFailure = 5;
  EXPECT_FALSE(grid.SetRowCount(10));
  g_cellsBeforeFailure = 2;
  EXPECT_FALSE(grid.SetColumnCount(6));
  g_cellsBeforeFailure = 1;
  EXPECT_EQ(grid.InsertRow("h"), -1);
  g_cellsBeforeFailure = 0;
  EXPECT_FALSE(grid.SetFixedRowCount(5));
  EXPECT_EQ(messages_.size(), 4u);
  EXPECT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetColumnCount(), 3);
  EXPECT_EQ(grid.GetFixedRowCount(), 1);
  EXPECT_EQ(grid.GetTotalHeight(), 60);
  EXPECT_EQ(grid.GetItemText(2, 2), "2,2");
  EXPECT_TRUE(grid.checkConsistency());
}

// A cell class of the caller's own, as the grid's factory allows.
class TaggedCell : public CGridCell {
 public:
  std::uint32_t GetData() const override { return 4242; }
};
const GridCellClass kTaggedClass{"Tagged", [] { return static_cast<CGridCellBase*>(new TaggedCell); }};
const GridCellClass kNoCellClass{"Nothing", nullptr};

TEST_F(GridStorageTest, CellsComeFromTheCellClassAndMissingCellsAreSkipped) {
  CGridCtrl& grid = MakeGrid();
  grid.SetCellClass(&kTaggedClass);
  grid.SetRowCount(2);
  grid.SetColumnCount(2);
  EXPECT_EQ(grid.GetCell(1, 1)->GetData(), 4242u);
  grid.SetCellClass(&kNoCellClass);
  grid.SetRowCount(3);
  EXPECT_EQ(grid.GetCell(2, 0), nullptr);
  EXPECT_FALSE(grid.SetItemText(2, 0, "x"));
  EXPECT_EQ(grid.GetItemText(2, 0), "");
  grid.SetCellClass(nullptr);
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.GetCell(0, 2), nullptr);
  EXPECT_TRUE(grid.checkConsistency());
  Render();  // empty positions are skipped when painting
}

}  // namespace
}  // namespace kelvanor::testing
