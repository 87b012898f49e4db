// Painted pixels of the grid: backgrounds per area, grid lines, the raised and sunken
// borders of fixed cells, focus and selection looks, own colours and literal "&".
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

// 10 x 5 cells of 60 x 20 with one fixed row and column: cell (r, c) covers
// x = 60c .. 60c + 59 and y = 20r .. 20r + 19; the cells end at (300, 200).
class GridPaintTest : public GridTest {
 protected:
  CGridCtrl& Grid() { return MakeFilledGrid(10, 5, 1, 1, 60, 20, 400, 300); }
  // Pixels of one cell's inside that differ from colour (its ink).
  int InkIn(const QImage& image, const GdiRect& r, COLORREF background) {
    int ink = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
      for (int x = r.left + 1; x < r.right - 1; ++x) ink += PixelAt(image, x, y) != background;
    return ink;
  }
};

TEST_F(GridPaintTest, AreasGridLinesAndFixedBorders) {
  Grid();
  const QImage image = Render();
  EXPECT_EQ(PixelAt(image, 170, 43), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(PixelAt(image, 179, 45), RGB(192, 192, 192));  // vertical line on the cell's last column
  EXPECT_EQ(PixelAt(image, 150, 59), RGB(192, 192, 192));  // horizontal line on its last row
  EXPECT_EQ(PixelAt(image, 170, 10), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelAt(image, 150, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelAt(image, 120, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelAt(image, 179, 10), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(PixelAt(image, 150, 19), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(PixelAt(image, 10, 50), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelAt(image, 350, 50), GetSysColor(COLOR_BTNSHADOW));  // right of the cells
  EXPECT_EQ(PixelAt(image, 150, 250), GetSysColor(COLOR_BTNSHADOW));  // below them
}

TEST_F(GridPaintTest, WithoutGridLinesFixedCellsHaveNoBorder) {
  CGridCtrl& grid = Grid();
  grid.SetGridLines(GVL_NONE);
  const QImage image = Render();
  EXPECT_EQ(PixelAt(image, 150, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelAt(image, 179, 10), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelAt(image, 179, 45), GetSysColor(COLOR_WINDOW));
  grid.SetGridLines(GVL_HORZ);
  const QImage horizontal = Render();
  EXPECT_EQ(PixelAt(horizontal, 179, 45), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(PixelAt(horizontal, 150, 59), RGB(192, 192, 192));
}

TEST_F(GridPaintTest, FixedCellsOfTheFocusRowAndColumnAreSunken) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(3, 2);
  QImage image = Render();
  EXPECT_EQ(PixelAt(image, 150, 0), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(PixelAt(image, 150, 19), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(PixelAt(image, 30, 60), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(PixelAt(image, 210, 0), GetSysColor(COLOR_BTNHIGHLIGHT));  // another column: raised
  grid.SetFocusHeaderTracking(false);
  image = Render();
  EXPECT_EQ(PixelAt(image, 150, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(GridPaintTest, FocusAndSelectionLooks) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(3, 2);  // (120, 60) .. (179, 79)
  QImage image = Render();
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(PixelAt(image, 120, 70), text);
  EXPECT_EQ(PixelAt(image, 178, 70), text);
  EXPECT_EQ(PixelAt(image, 150, 60), text);
  EXPECT_EQ(PixelAt(image, 150, 78), text);
  EXPECT_EQ(PixelAt(image, 179, 70), RGB(192, 192, 192));  // the frame stays off the grid line

  grid.SetSelectedRange(3, 2, 4, 2);
  image = Render();
  EXPECT_EQ(PixelAt(image, 150, 60), GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(PixelAt(image, 170, 63), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(PixelAt(image, 170, 83), GetSysColor(COLOR_HIGHLIGHT));   // selected, not focused
  EXPECT_EQ(PixelAt(image, 179, 85), RGB(192, 192, 192));
}

TEST_F(GridPaintTest, FocusFrameCoversTheLinePixelsWithoutGridLines) {
  CGridCtrl& grid = Grid();
  grid.SetGridLines(GVL_NONE);
  grid.SetFocusCell(3, 2);
  const QImage image = Render();
  EXPECT_EQ(PixelAt(image, 179, 70), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(PixelAt(image, 150, 79), GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(GridPaintTest, OwnColoursPaintAndDefaultCellsRepaintTheirArea) {
  CGridCtrl& grid = Grid();
  grid.SetItemBackColor(5, 2, RGB(0, 200, 0));
  grid.SetItemText(5, 3, "MMMM");
  grid.SetItemTextColor(5, 3, RGB(255, 0, 0));
  grid.GetDefaultCell(false, false)->SetBackColor(RGB(250, 0, 250));
  grid.GetDefaultCell(true, false)->SetBackColor(RGB(0, 0, 250));
  grid.GetDefaultCell(false, true)->SetBackColor(RGB(0, 250, 250));
  grid.GetDefaultCell(true, true)->SetBackColor(RGB(250, 250, 0));
  grid.Refresh();
  const QImage image = Render();
  EXPECT_EQ(PixelAt(image, 170, 103), RGB(0, 200, 0));
  EXPECT_EQ(PixelAt(image, 230, 43), RGB(250, 0, 250));
  EXPECT_EQ(PixelAt(image, 230, 10), RGB(0, 0, 250));
  EXPECT_EQ(PixelAt(image, 50, 43), RGB(0, 250, 250));
  bool red = false;
  for (int y = 101; y < 119; ++y)
    for (int x = 181; x < 239; ++x) red = red || PixelAt(image, x, y) == RGB(255, 0, 0);
  EXPECT_TRUE(red);
}

TEST_F(GridPaintTest, FixedCornerIsNotPaintedOverByTheFixedColumnColour) {
  CGridCtrl& grid = Grid();
  grid.GetDefaultCell(false, true)->SetBackColor(RGB(0, 250, 250));
  grid.GetDefaultCell(true, true)->SetBackColor(RGB(250, 250, 0));
  grid.Refresh();
  const QImage image = Render();
  EXPECT_EQ(PixelAt(image, 50, 10), RGB(250, 250, 0));
  EXPECT_EQ(PixelAt(image, 50, 43), RGB(0, 250, 250));
}

TEST_F(GridPaintTest, AmpersandsAreDrawnLiterally) {
  CGridCtrl& grid = Grid();
  grid.SetColumnWidth(2, 120);
  grid.SetItemText(2, 2, "&");
  grid.SetItemText(3, 2, "&&");
  grid.GetCell(3, 2)->SetFormat(DT_LEFT | DT_SINGLELINE);  // no DT_NOPREFIX in the format either
  const QImage image = Render();
  const int one = InkIn(image, {120, 40, 239, 59}, GetSysColor(COLOR_WINDOW));
  const int two = InkIn(image, {120, 60, 239, 79}, GetSysColor(COLOR_WINDOW));
  EXPECT_GT(one, 10);
  EXPECT_NEAR(static_cast<double>(two) / one, 2.0, 0.4);
}

TEST_F(GridPaintTest, SortColumnHeaderShowsTheMark) {
  CGridCtrl& grid = Grid();
  const GdiRect header{120, 0, 179, 19};
  const int plain = InkIn(Render(), header, GetSysColor(COLOR_BTNFACE));
  grid.SetItemText(0, 2, "");
  const int empty = InkIn(Render(), header, GetSysColor(COLOR_BTNFACE));
  grid.SetSortColumn(2);
  const int marked = InkIn(Render(), header, GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(plain, empty);
  EXPECT_GT(marked, empty);
}

TEST_F(GridPaintTest, ScrolledGridPaintsTheCellsAtTheirNewPlaces) {
  CGridCtrl& grid = MakeFilledGrid(60, 5, 1, 1, 60, 20, 400, 300);
  grid.SetItemBackColor(6, 2, RGB(0, 0, 200));
  grid.OnVScroll(SB_LINEDOWN);
  grid.OnVScroll(SB_LINEDOWN);
  GdiRect rect;
  ASSERT_TRUE(grid.GetCellRect(6, 2, &rect));
  EXPECT_EQ(rect.top, 20 + 3 * 20);
  const QImage image = Render();
  EXPECT_EQ(PixelAt(image, 170, rect.top + 3), RGB(0, 0, 200));
  EXPECT_EQ(PixelAt(image, 10, 25), GetSysColor(COLOR_BTNFACE));  // fixed column does not move
}

}  // namespace
}  // namespace kelvanor::testing
