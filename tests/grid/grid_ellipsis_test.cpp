// A cell keeps the width of its text between paints; whatever makes the text wider (a new
// text, a font of its own, the grid's font, the font of the area it moves into) shows the
// ellipsis and the title tip a grid that never painted the cell shows.
#include <functional>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

using Edit = std::function<void(CGridCtrl&)>;

LogFont Larger(const CGridCtrl& grid) {
  LogFont font = *grid.GetFont();
  font.lfHeight = -30;
  return font;
}

class GridEllipsisTest : public GridTest {
 protected:
  // Cell (2, 1) after the edits, on an active grid.
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

TEST_F(GridEllipsisTest, AWidenedTextIsElidedAndTippedAsIfNeverPaintedBefore) {
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

}  // namespace
}  // namespace kelvanor::testing
