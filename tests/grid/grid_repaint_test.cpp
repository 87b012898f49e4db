// What a change repaints: the region the grid invalidates covers what changed and spares
// the rest, and painting only that region over the old pixels gives the full picture.
#include <QPaintEvent>

#include <functional>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

// Collects the regions of the paint events the viewport receives.
class PaintSpy : public QObject {
 public:
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

struct Change {
  const char* name;
  std::function<void(CGridCtrl&)> before, change;
  std::vector<QRect> covered;  // must be repainted
  QRect spared;                // must not be
};

QRect CellArea(int row, int col) { return QRect(60 * col, 20 * row, 60, 20); }

class GridRepaintTest : public GridTest, public ::testing::WithParamInterface<Change> {};

TEST_P(GridRepaintTest, RepaintsWhatChangedAndOnlyThat) {
  const Change& c = GetParam();
  CGridCtrl& grid = MakeFilledGrid(60, 5, 1, 1);
  c.before(grid);
  QCoreApplication::processEvents();
  QImage composed = Render();
  PaintSpy spy;
  grid.viewport()->installEventFilter(&spy);
  c.change(grid);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.painted.isEmpty(); }));
  grid.viewport()->removeEventFilter(&spy);

  for (const QRect& area : c.covered) EXPECT_TRUE((QRegion(area) - spy.painted).isEmpty()) << area.x() << "," << area.y();
  EXPECT_FALSE(spy.painted.intersects(c.spared));
  grid.viewport()->render(&composed, spy.painted.boundingRect().topLeft(), spy.painted);
  EXPECT_EQ(composed, Render());
}

const auto kNothing = [](CGridCtrl&) {};

INSTANTIATE_TEST_SUITE_P(
    Changes, GridRepaintTest,
    ::testing::Values(
        Change{"FocusMove", [](CGridCtrl& g) { g.SetFocusCell(2, 2); }, [](CGridCtrl& g) { g.SetFocusCell(3, 2); },
               {CellArea(2, 2), CellArea(3, 2), CellArea(2, 0), CellArea(3, 0)}, CellArea(6, 4)},
        Change{"SelectionChange", [](CGridCtrl& g) { g.SetSelectedRange(2, 2, 3, 3); },
               [](CGridCtrl& g) { g.SetSelectedRange(3, 3, 4, 4); },
               {CellArea(2, 2), CellArea(2, 3), CellArea(3, 2), CellArea(3, 4), CellArea(4, 3), CellArea(4, 4)},
               CellArea(3, 3)},
        Change{"SortMarkRemoved", [](CGridCtrl& g) { g.SetSortColumn(2); }, [](CGridCtrl& g) { g.SetModified(4, 2); },
               {CellArea(0, 2)}, CellArea(6, 4)},
        Change{"Scroll", kNothing, [](CGridCtrl& g) { g.OnVScroll(SB_LINEDOWN); }, {QRect(0, 20, 380, 280)},
               CellArea(0, 2)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvanor::testing
