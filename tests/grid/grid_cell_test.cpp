// The cell model: inheritance from the default cells, the default cell's own rules,
// copying and resetting, measuring and drawing.
#include <QPainter>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using GridCellTest = GridTest;

TEST_F(GridCellTest, UnsetAttributesComeFromTheAreasDefaultCellUntilTheCellHasItsOwn) {
  CGridCtrl& grid = MakeFilledGrid(3, 3, 1, 1);
  for (const auto& [row, col] : {std::pair{2, 2}, {2, 0}, {0, 2}, {0, 0}}) {
    CGridDefaultCell* def = grid.GetDefaultCell(row == 0, col == 0);
    CGridCellBase* cell = grid.GetCell(row, col);
    cell->SetFormat(kUnsetFormat);
    def->SetFormat(DT_CENTER);
    def->SetMargin(7);
    EXPECT_EQ(std::tuple(cell->GetFormat(), cell->GetMargin(), cell->GetFontObject(), cell->GetForeColor()),
              std::tuple(DT_CENTER, 7u, def->GetFontObject(), CLR_DEFAULT));  // colours resolve when drawn
    LogFont font = MessageLogFont();
    font.lfHeight = -9;
    cell->SetFont(&font);
    cell->SetMargin(1);
    EXPECT_EQ(std::pair(cell->GetMargin(), cell->GetFontObject()->pixelSize()), std::pair(1u, 9));
  }
}

TEST_F(GridCellTest, DefaultCellIsReadOnlySizedByItsFontAndEndsTheInheritance) {
  CGridDefaultCell def;
  def.SetState(CELL_SELECTED);
  def.SetData(5);
  EXPECT_EQ(std::tuple(def.GetState(), def.GetData(), def.GetFormat(), def.GetWidth(), def.GetHeight(), def.GetMargin()),
            std::tuple(CELL_READONLY, 0u, 0x8824u, 85, 21, 3u));  // left, centred, single line, no prefix, ellipsis
  def.SetFormat(kUnsetFormat);
  def.SetMargin(kUnsetMargin);
  const CGridCell loose;  // no grid, no default cell
  EXPECT_EQ(std::tuple(def.GetFormat(), def.GetMargin(), loose.GetFormat(), loose.GetFont()),
            std::tuple(0u, 0u, 0u, nullptr));
}

TEST_F(GridCellTest, AssignmentMakesInheritedValuesOwnAndResetForgetsThem) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 0, 0);
  grid.GetCell(1, 1)->SetBackColor(RGB(1, 2, 3));
  CGridCell copy;
  copy = *grid.GetCell(1, 1);
  grid.GetDefaultCell(false, false)->SetMargin(copy.GetMargin() + 1);
  EXPECT_EQ(std::tuple(copy.GetGrid(), copy.GetText(), copy.GetBackColor(), copy.UsesDefaultFont(), copy.GetMargin()),
            std::tuple(&grid, std::string("1,1"), RGB(1, 2, 3), true, 3u));  // the margin is its own now
  copy.Reset();
  EXPECT_EQ(std::tuple(copy.GetGrid(), copy.GetText(), copy.GetState(), copy.GetImage(), copy.GetFormat()),
            std::tuple(nullptr, std::string(), 0u, -1, 0u));
}

TEST_F(GridCellTest, MeasuresWrappedVerticalAndFixedCells) {
  CGridCtrl& grid = MakeFilledGrid(2, 2, 1, 0);
  CGridCellBase* cell = grid.GetCell(1, 1);
  EXPECT_EQ(std::pair(cell->MeasureText(""), cell->MeasureText("first line\nsecond")), std::pair(QSize(85, 21), QSize(88, 20)));
  cell->SetFormat(DT_WORDBREAK);
  EXPECT_EQ(cell->MeasureText("first line\nsecond"), QSize(50, 34));
  EXPECT_EQ(std::pair(cell->MeasureCell(), grid.GetCell(0, 1)->MeasureCell()), std::pair(QSize(23, 21), QSize(24, 22)));
  LogFont font = *cell->GetFont();
  font.lfEscapement = 900;
  cell->SetFont(&font);
  EXPECT_EQ(cell->MeasureText("1,1"), QSize(20, 22 + 4 * 3));  // "1,1" is 22 x 20: the sides swap, four margins more
}

TEST_F(GridCellTest, DrawRefusesWithoutGridOrRoom) {
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  GdiDC dc(&painter, image.rect());
  CGridCellBase* cell = MakeFilledGrid(2, 2, 0, 0).GetCell(0, 0);
  EXPECT_FALSE(CGridCell().Draw(&dc, 0, 0, {0, 0, 9, 9}) || cell->Draw(nullptr, 0, 0, {0, 0, 9, 9}) ||
               cell->Draw(&dc, 0, 0, {3, 0, 3, 9}));
  EXPECT_TRUE(cell->Draw(&dc, 0, 0, {0, 0, 9, 9}));
}

}  // namespace
}  // namespace kelvanor::testing
