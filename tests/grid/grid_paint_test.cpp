// Painted pixels of the grid (areas, grid lines, raised and sunken headers, focus and
// selection looks, colours, the sort mark, literal "&"), what a change repaints, and text
// widths kept between paints that must not hide an ellipsis or a title tip.
#include <QPaintEvent>
#include <QPainter>

#include <functional>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

constexpr COLORREF kLine = RGB(192, 192, 192);
// A system colour, looked up when the test runs (the palette is pinned by then).
constexpr COLORREF Sys(int index) { return 0x80000000u | static_cast<COLORREF>(index); }
using Edit = std::function<void(CGridCtrl&)>;

class GridPaintTest : public GridTest {
 protected:
  // Cell (2, 1) after the edits, each painted, on an active grid.
  QImage CellAfter(const std::vector<Edit>& edits) {
    Grid(10, true);
    for (const Edit& edit : edits) {
      edit(*grid_);
      Render();
    }
    return Render().copy(60, 40, 60, 20);
  }
  bool TipShown() {
    Hover(At(2, 1));
    const bool shown = grid_->GetTitleTip().isVisible();
    grid_->GetTitleTip().HideTip();
    return shown;
  }
};

// Cell (r, c) covers x = 60c .. 60c + 59 and y = 20r .. 20r + 19; the cells end at (300, 200).
TEST_F(GridPaintTest, EachLookPaintsItsPixels) {
  const std::tuple<const char*, Edit, std::vector<std::tuple<int, int, COLORREF>>> looks[] = {
      {"areas, lines and raised headers", [](CGridCtrl&) {},
       {{170, 43, Sys(COLOR_WINDOW)}, {179, 45, kLine}, {150, 59, kLine}, {170, 10, Sys(COLOR_BTNFACE)},
        {120, 10, Sys(COLOR_BTNHIGHLIGHT)}, {150, 19, Sys(COLOR_3DDKSHADOW)}, {10, 50, Sys(COLOR_BTNFACE)},
        {350, 50, Sys(COLOR_BTNSHADOW)}, {150, 250, Sys(COLOR_BTNSHADOW)}}},
      {"no grid lines, no header borders", [](CGridCtrl& g) { g.SetGridLines(GVL_NONE); },
       {{150, 0, Sys(COLOR_BTNFACE)}, {179, 10, Sys(COLOR_BTNFACE)}, {179, 45, Sys(COLOR_WINDOW)}}},
      {"row lines", [](CGridCtrl& g) { g.SetGridLines(GVL_HORZ); }, {{179, 45, Sys(COLOR_WINDOW)}, {150, 59, kLine}}},
      {"a hidden first column draws no line on the header border", [](CGridCtrl& g) { g.SetColumnWidth(1, 0); },
       {{59, 45, Sys(COLOR_3DDKSHADOW)}, {119, 45, kLine}}},
      {"focus frame off the lines, sunken headers of its row and column", [](CGridCtrl& g) { g.SetFocusCell(3, 2); },
       {{120, 70, Sys(COLOR_WINDOWTEXT)}, {178, 70, Sys(COLOR_WINDOWTEXT)}, {150, 78, Sys(COLOR_WINDOWTEXT)},
        {179, 70, kLine}, {150, 0, Sys(COLOR_3DDKSHADOW)}, {150, 19, Sys(COLOR_3DLIGHT)},
        {30, 60, Sys(COLOR_3DDKSHADOW)}, {210, 0, Sys(COLOR_BTNHIGHLIGHT)}}},
      {"focus frame on line pixels without lines", [](CGridCtrl& g) { g.SetGridLines(GVL_NONE); g.SetFocusCell(3, 2); },
       {{179, 70, Sys(COLOR_WINDOWTEXT)}, {150, 79, Sys(COLOR_WINDOWTEXT)}}},
      {"selection with focus", [](CGridCtrl& g) { g.SetFocusCell(3, 2); g.SetSelectedRange(3, 2, 4, 2); },
       {{150, 60, Sys(COLOR_HIGHLIGHTTEXT)}, {170, 63, Sys(COLOR_HIGHLIGHT)}, {170, 83, Sys(COLOR_HIGHLIGHT)}}},
      {"own and default cell colours, the fixed corner's not painted over by the fixed column's",
       [](CGridCtrl& g) {
         g.SetItemBackColor(5, 2, RGB(0, 200, 0));
         for (int a = 0; a < 4; ++a) g.GetDefaultCell(a & 2, a & 1)->SetBackColor(RGB(10 * a, 0, 250));
       },
       {{170, 103, RGB(0, 200, 0)}, {230, 43, RGB(0, 0, 250)}, {50, 43, RGB(10, 0, 250)}, {230, 10, RGB(20, 0, 250)},
        {50, 10, RGB(30, 0, 250)}}}};
  for (const auto& [name, edit, pixels] : looks) {
    SCOPED_TRACE(name);
    edit(Grid());
    const QImage image = Render();
    for (const auto& [x, y, color] : pixels)
      EXPECT_EQ(PixelAt(image, x, y), color & 0x80000000u ? GetSysColor(color & 0xFF) : color) << x << "," << y;
  }
}

// Pixels inside a cell (its border excluded) that differ from the background, column by column.
std::vector<QPoint> Ink(const QImage& image, const GdiRect& r, COLORREF background) {
  std::vector<QPoint> ink;
  for (int x = r.left + 2; x < r.right - 1; ++x)
    for (int y = r.top + 2; y < r.bottom - 1; ++y)
      if (FromQColor(image.pixelColor(x, y)) != background) ink.push_back({x, y});
  return ink;
}

TEST_F(GridPaintTest, SortMarkAndSunkenHeadersLeaveTheTextInPlace) {
  CGridCtrl& grid = Grid();
  const GdiRect header{120, 0, 179, 19}, bare{180, 0, 239, 19};
  grid.SetItemText(0, 3, "");
  const std::vector<QPoint> raised = Ink(Render(), header, GetSysColor(COLOR_BTNFACE));
  ASSERT_FALSE(raised.empty());
  EXPECT_TRUE(Ink(Render(), bare, GetSysColor(COLOR_BTNFACE)).empty());
  grid.SetFocusCell(3, 2);
  EXPECT_EQ(Ink(Render(), header, GetSysColor(COLOR_BTNFACE)).front().x(), raised.front().x());
  grid.SetSortColumn(3);
  EXPECT_FALSE(Ink(Render(), bare, GetSysColor(COLOR_BTNFACE)).empty());
}

TEST_F(GridPaintTest, RedrawingACellOnADeviceDrawsItsGridLines) {
  CGridCtrl& grid = Grid();
  QImage image(200, 100, QImage::Format_RGB32);
  QPainter painter(&image);
  GdiDC dc(&painter, image.rect());
  ASSERT_TRUE(grid.RedrawCell(1, 1, &dc));
  EXPECT_EQ(std::tuple(PixelAt(image, 119, 30), PixelAt(image, 90, 39), PixelAt(image, 90, 30)),
            std::tuple(kLine, kLine, GetSysColor(COLOR_WINDOW)));
}

LogFont Larger(const CGridCtrl& grid) {
  LogFont font = *grid.GetFont();
  font.lfHeight = -30;
  return font;
}

// Whatever widens a cell's text shows the ellipsis and the tip a grid that never painted it shows.
TEST_F(GridPaintTest, AWidenedTextIsElidedAndTippedAsIfNeverPaintedBefore) {
  const std::tuple<const char*, Edit, Edit> changes[] = {
      {"a longer text", [](CGridCtrl&) {},
       [](CGridCtrl& g) { g.SetItemText(2, 1, "a text far too long for a sixty pixel column"); }},
      {"a font of the cell's own", [](CGridCtrl& g) { g.SetItemText(2, 1, "WWW"); },
       [](CGridCtrl& g) {
         GRIDITEM item;
         item.row = 2;
         item.col = 1;
         item.mask = GIF_FONT;
         item.lfFont = Larger(g);
         g.SetItem(&item);
       }},
      {"the grid's font", [](CGridCtrl& g) { g.SetItemText(2, 1, "WWW"); },
       [](CGridCtrl& g) { g.SetFont(Larger(g)); }},
      {"the cell's column becomes fixed, whose font is larger",
       [](CGridCtrl& g) {
         g.SetItemText(2, 1, "WWW");
         const LogFont font = Larger(g);
         g.GetDefaultCell(false, true)->SetFont(&font);
       },
       [](CGridCtrl& g) { g.SetFixedColumnCount(2); }}};
  for (const auto& [name, before, change] : changes) {
    SCOPED_TRACE(name);
    const QImage fitting = CellAfter({before});
    EXPECT_FALSE(TipShown());
    const QImage fresh = CellAfter({[&](CGridCtrl& g) {
      before(g);
      change(g);
    }});
    EXPECT_NE(fresh, fitting);
    EXPECT_EQ(CellAfter({before, change}), fresh);
    EXPECT_TRUE(TipShown());
  }
}

struct PaintSpy : QObject {
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
  QRegion painted;
};

QRect Area(int row, int col) { return QRect(60 * col, 20 * row, 60, 20); }

// The region a change invalidates covers what changed and spares the rest, and painting
// only that region over the old pixels gives the picture a full repaint gives.
TEST_F(GridPaintTest, AChangeRepaintsWhatChangedAndOnlyThat) {
  const std::tuple<const char*, Edit, Edit, std::vector<QRect>, QRect> changes[] = {
      {"focus move", [](CGridCtrl& g) { g.SetFocusCell(2, 2); }, [](CGridCtrl& g) { g.SetFocusCell(3, 2); },
       {Area(2, 2), Area(3, 2), Area(2, 0), Area(3, 0)}, Area(6, 4)},
      {"selection change", [](CGridCtrl& g) { g.SetSelectedRange(2, 2, 3, 3); },
       [](CGridCtrl& g) { g.SetSelectedRange(3, 3, 4, 4); },
       {Area(2, 2), Area(2, 3), Area(3, 2), Area(3, 4), Area(4, 3), Area(4, 4)}, Area(3, 3)},
      {"sort mark removed", [](CGridCtrl& g) { g.SetSortColumn(2); }, [](CGridCtrl& g) { g.SetModified(4, 2); },
       {Area(0, 2)}, Area(6, 4)},
      {"scroll", {}, [](CGridCtrl& g) { g.OnVScroll(SB_LINEDOWN); }, {QRect(0, 20, 380, 280)}, Area(0, 2)}};
  for (const auto& [name, before, change, covered, spared] : changes) {
    SCOPED_TRACE(name);
    CGridCtrl& grid = Grid(60);
    if (before) before(grid);
    QCoreApplication::processEvents();
    QImage composed = Render();
    PaintSpy spy;
    grid.viewport()->installEventFilter(&spy);
    change(grid);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.painted.isEmpty(); }));
    grid.viewport()->removeEventFilter(&spy);
    for (const QRect& r : covered) EXPECT_TRUE((QRegion(r) - spy.painted).isEmpty()) << r.x() << "," << r.y();
    EXPECT_FALSE(spy.painted.intersects(spared));
    grid.viewport()->render(&composed, spy.painted.boundingRect().topLeft(), spy.painted);
    EXPECT_EQ(composed, Render());
  }
}

}  // namespace
}  // namespace kelvanor::testing
