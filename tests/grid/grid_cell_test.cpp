// The cell model: inheritance from the four default cells, the default cell's own rules,
// copying and resetting, and measuring.
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridCellTest : public GridTest {};

struct Area {
  const char* name;
  int row, col;
  bool fixedRow, fixedCol;
};

class GridCellAreaTest : public GridTest, public ::testing::WithParamInterface<Area> {};

TEST_P(GridCellAreaTest, UnsetAttributesComeFromTheAreasDefaultCell) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  const Area area = GetParam();
  CGridDefaultCell* def = grid.GetDefaultCell(area.fixedRow, area.fixedCol);
  CGridCellBase* cell = grid.GetCell(area.row, area.col);
  ASSERT_EQ(cell->GetDefaultCell(), def);
  cell->SetFormat(kUnsetFormat);
  def->SetFormat(DT_CENTER | DT_SINGLELINE);
  LogFont font = MessageLogFont();
  font.lfHeight = -20;
  def->SetFont(&font);  // also measures a new margin, so the margin comes after it
  def->SetMargin(7);
  EXPECT_EQ(cell->GetFormat(), DT_CENTER | DT_SINGLELINE);
  EXPECT_EQ(cell->GetMargin(), 7u);
  EXPECT_EQ(cell->GetFont()->lfHeight, -20);
  EXPECT_EQ(cell->GetFontObject(), def->GetFontObject());
  EXPECT_TRUE(cell->UsesDefaultFont());
  EXPECT_EQ(cell->GetForeColor(), CLR_DEFAULT);  // colours are resolved when drawing

  cell->SetFormat(DT_RIGHT);
  cell->SetMargin(1);
  LogFont own = font;
  own.lfHeight = -9;
  cell->SetFont(&own);
  EXPECT_EQ(cell->GetFormat(), DT_RIGHT);
  EXPECT_EQ(cell->GetMargin(), 1u);
  EXPECT_EQ(cell->GetFont()->lfHeight, -9);
  EXPECT_NE(cell->GetFontObject(), def->GetFontObject());
  EXPECT_EQ(cell->GetFontObject()->pixelSize(), 9);
}

INSTANTIATE_TEST_SUITE_P(Areas, GridCellAreaTest,
                         ::testing::Values(Area{"Normal", 2, 2, false, false}, Area{"FixedColumn", 2, 0, false, true},
                                           Area{"FixedRow", 0, 2, true, false}, Area{"FixedCorner", 0, 0, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridCellTest, NewCellsTakeTheFormatOfTheirDefaultCell) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 1, 1);
  EXPECT_EQ(grid.GetCell(1, 1)->GetFormat(), 0x8824u);
  CGridCell loose;
  EXPECT_EQ(loose.GetFormat(), 0u);  // no grid, no default cell
  EXPECT_EQ(loose.GetMargin(), 0u);
  EXPECT_EQ(loose.GetFont(), nullptr);
}

TEST_F(GridCellTest, DefaultCellIgnoresStateAndDataAndIsReadOnly) {
  CGridDefaultCell def;
  def.SetState(CELL_SELECTED);
  def.SetData(5);
  EXPECT_EQ(def.GetState(), CELL_READONLY);
  EXPECT_EQ(def.GetData(), 0u);
  EXPECT_EQ(def.GetFormat(), 0x8824u);
}

TEST_F(GridCellTest, DefaultCellWithUnsetValuesEndsTheInheritanceChain) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  CGridDefaultCell* def = grid.GetDefaultCell(false, false);
  def->SetFormat(kUnsetFormat);
  def->SetMargin(kUnsetMargin);
  EXPECT_EQ(def->GetDefaultCell(), nullptr);
  EXPECT_EQ(def->GetFormat(), 0u);
  EXPECT_EQ(grid.GetCell(1, 1)->GetMargin(), 0u);
}

TEST_F(GridCellTest, DefaultCellSizeAndMarginFollowItsFont) {
  CGridDefaultCell def;
  MeasureDC screen;
  screen.dc()->SelectFont(*def.GetFontObject());
  const QSize wide = screen.dc()->GetTextExtent(" XXXXXXXXXXXX ");
  EXPECT_EQ(def.GetWidth(), wide.width());
  EXPECT_EQ(def.GetHeight(), 3 * wide.height() / 2);
  EXPECT_EQ(def.GetMargin(), static_cast<std::uint32_t>(screen.dc()->GetTextExtent(" ").width()));
  def.SetFont(nullptr);  // ignored
  EXPECT_EQ(def.GetWidth(), wide.width());
}

TEST_F(GridCellTest, AssignmentMakesInheritedValuesOwnAndResetForgetsThem) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  CGridCellBase* source = grid.GetCell(1, 1);
  source->SetMargin(kUnsetMargin);
  source->SetBackColor(RGB(1, 2, 3));
  CGridCell copy;
  copy = *source;
  EXPECT_EQ(copy.GetGrid(), &grid);
  EXPECT_EQ(copy.GetText(), "1,1");
  EXPECT_EQ(copy.GetMargin(), grid.GetDefaultCell(false, false)->GetMargin());
  EXPECT_EQ(copy.GetBackColor(), RGB(1, 2, 3));
  EXPECT_EQ(copy.GetForeColor(), CLR_DEFAULT);
  EXPECT_TRUE(copy.UsesDefaultFont());
  grid.GetDefaultCell(false, false)->SetMargin(11);
  EXPECT_NE(copy.GetMargin(), 11u);  // own now

  copy.Reset();
  EXPECT_EQ(copy.GetGrid(), nullptr);
  EXPECT_EQ(copy.GetText(), "");
  EXPECT_EQ(copy.GetState(), 0u);
  EXPECT_EQ(copy.GetImage(), -1);
  EXPECT_EQ(copy.GetBackColor(), CLR_DEFAULT);
  EXPECT_EQ(copy.GetFormat(), 0u);
}

TEST_F(GridCellTest, WrappedTwoLineTextMeasuresTallerThanOneLine) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  CGridCellBase* cell = grid.GetCell(1, 1);
  const std::string text = "first line\nsecond";
  const QSize single = cell->MeasureText(text);
  cell->SetFormat(DT_WORDBREAK);
  const QSize wrapped = cell->MeasureText(text);
  EXPECT_GT(wrapped.height(), single.height());
  EXPECT_LT(wrapped.width(), single.width());
  const QSize empty = cell->MeasureText("");
  EXPECT_EQ(empty, QSize(grid.GetDefaultCell(false, false)->GetWidth(), grid.GetDefaultCell(false, false)->GetHeight()));
}

TEST_F(GridCellTest, MeasureCellAddsOnePixelAndOneMoreForFixedCells) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 1, 0);
  const QSize normal = grid.GetCell(1, 1)->MeasureText("1,1");
  EXPECT_EQ(grid.GetCell(1, 1)->MeasureCell(), normal + QSize(1, 1));
  const QSize fixed = grid.GetCell(0, 1)->MeasureText("0,1");
  EXPECT_EQ(grid.GetCell(0, 1)->MeasureCell(), fixed + QSize(2, 2));
}

TEST_F(GridCellTest, VerticalFontSwapsTheMeasuredSides) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  CGridCellBase* cell = grid.GetCell(1, 1);
  const QSize flat = cell->MeasureText("vertical");
  LogFont font = *cell->GetFont();
  font.lfEscapement = 900;
  cell->SetFont(&font);
  const int margin = static_cast<int>(cell->GetMargin());
  EXPECT_EQ(cell->MeasureText("vertical"), QSize(flat.height(), flat.width() + 4 * margin));
}

TEST_F(GridCellTest, DrawRefusesWithoutGridOrRoom) {
  CGridCell loose;
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  GdiDC dc(&painter, image.rect());
  EXPECT_FALSE(loose.Draw(&dc, 0, 0, {0, 0, 9, 9}));
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  EXPECT_FALSE(grid.GetCell(0, 0)->Draw(nullptr, 0, 0, {0, 0, 9, 9}));
  EXPECT_FALSE(grid.GetCell(0, 0)->Draw(&dc, 0, 0, {3, 0, 3, 9}));
  EXPECT_TRUE(grid.GetCell(0, 0)->Draw(&dc, 0, 0, {0, 0, 9, 9}));
}

}  // namespace
}  // namespace kelvanor::testing
