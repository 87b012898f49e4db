// The cell model: inheritance from the four default cells, the default cell's own rules,
// copying and resetting, measuring and drawing.
#include <QPainter>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

struct Area {
  const char* name;
  int row, col;
};

class GridCellAreaTest : public GridTest, public ::testing::WithParamInterface<Area> {};

TEST_P(GridCellAreaTest, UnsetAttributesComeFromTheAreasDefaultCell) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  const auto [name, row, col] = GetParam();
  CGridDefaultCell* def = grid.GetDefaultCell(row == 0, col == 0);
  CGridCellBase* cell = grid.GetCell(row, col);
  cell->SetFormat(kUnsetFormat);
  def->SetFormat(DT_CENTER);
  LogFont font = MessageLogFont();
  font.lfHeight = -20;
  def->SetFont(&font);  // also measures a new margin, so the margin comes after it
  def->SetMargin(7);
  EXPECT_EQ(std::tuple(cell->GetFormat(), cell->GetMargin(), cell->GetFontObject()),
            std::tuple(DT_CENTER, 7u, def->GetFontObject()));
  EXPECT_EQ(cell->GetForeColor(), CLR_DEFAULT);  // colours are resolved when drawing
  cell->SetFormat(DT_RIGHT);
  cell->SetMargin(1);
  font.lfHeight = -9;
  cell->SetFont(&font);
  EXPECT_EQ(std::tuple(cell->GetFormat(), cell->GetMargin(), cell->GetFontObject()->pixelSize()),
            std::tuple(DT_RIGHT, 1u, 9));
}

INSTANTIATE_TEST_SUITE_P(Areas, GridCellAreaTest,
                         ::testing::Values(Area{"Normal", 2, 2}, Area{"FixedColumn", 2, 0}, Area{"FixedRow", 0, 2},
                                           Area{"FixedCorner", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

using GridCellTest = GridTest;

TEST_F(GridCellTest, DefaultCellIsReadOnlySizedByItsFontAndEndsTheInheritance) {
  CGridDefaultCell def;
  def.SetState(CELL_SELECTED);
  def.SetData(5);
  EXPECT_EQ(std::tuple(def.GetState(), def.GetData()), std::tuple(CELL_READONLY, 0u));
  EXPECT_EQ(def.GetFormat(), 0x8824u);  // left, vertically centred, single line, no prefix, ellipsis
  EXPECT_EQ(std::tuple(def.GetWidth(), def.GetHeight(), def.GetMargin()), std::tuple(85, 21, 3u));
  def.SetFormat(kUnsetFormat);
  def.SetMargin(kUnsetMargin);
  EXPECT_EQ(std::tuple(def.GetFormat(), def.GetMargin()), std::tuple(0u, 0u));
  const CGridCell loose;  // no grid, no default cell
  EXPECT_EQ(std::tuple(loose.GetFormat(), loose.GetMargin(), loose.GetFont()), std::tuple(0u, 0u, nullptr));
}

TEST_F(GridCellTest, AssignmentMakesInheritedValuesOwnAndResetForgetsThem) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  grid.GetCell(1, 1)->SetBackColor(RGB(1, 2, 3));
  CGridCell copy;
  copy = *grid.GetCell(1, 1);
  EXPECT_EQ(std::tuple(copy.GetGrid(), copy.GetText(), copy.GetBackColor(), copy.UsesDefaultFont()),
            std::tuple(&grid, std::string("1,1"), RGB(1, 2, 3), true));
  const std::uint32_t inherited = copy.GetMargin();
  grid.GetDefaultCell(false, false)->SetMargin(inherited + 1);
  EXPECT_EQ(copy.GetMargin(), inherited);  // own now
  copy.Reset();
  EXPECT_EQ(std::tuple(copy.GetGrid(), copy.GetText(), copy.GetState(), copy.GetImage(), copy.GetFormat()),
            std::tuple(nullptr, std::string(), 0u, -1, 0u));
}

TEST_F(GridCellTest, MeasuresWrappedVerticalAndFixedCells) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 1, 0);
  CGridCellBase* cell = grid.GetCell(1, 1);
  EXPECT_EQ(cell->MeasureText(""), QSize(85, 21));  // the default cell's size
  EXPECT_EQ(cell->MeasureText("first line\nsecond"), QSize(88, 20));
  cell->SetFormat(DT_WORDBREAK);
  EXPECT_EQ(cell->MeasureText("first line\nsecond"), QSize(50, 34));
  EXPECT_EQ(cell->MeasureCell(), QSize(23, 21));               // "1,1" measures 22 x 20
  EXPECT_EQ(grid.GetCell(0, 1)->MeasureCell(), QSize(24, 22));  // one pixel more each way when fixed
  LogFont font = *cell->GetFont();
  font.lfEscapement = 900;
  cell->SetFont(&font);
  EXPECT_EQ(cell->MeasureText("1,1"), QSize(20, 22 + 4 * 3));  // the sides swap, and four margins more
}

TEST_F(GridCellTest, DrawRefusesWithoutGridOrRoom) {
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  GdiDC dc(&painter, image.rect());
  EXPECT_FALSE(CGridCell().Draw(&dc, 0, 0, {0, 0, 9, 9}));
  CGridCellBase* cell = MakeFilledGrid(2, 2, 0, 0).GetCell(0, 0);
  EXPECT_FALSE(cell->Draw(nullptr, 0, 0, {0, 0, 9, 9}));
  EXPECT_FALSE(cell->Draw(&dc, 0, 0, {3, 0, 3, 9}));
  EXPECT_TRUE(cell->Draw(&dc, 0, 0, {0, 0, 9, 9}));
}

}  // namespace
}  // namespace kelvanor::testing
