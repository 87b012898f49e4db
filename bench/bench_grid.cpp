// The grid core against QTableView + QStandardItemModel holding the same 100,000 x 4 texts:
// fill time, a full repaint of an 800 x 600 view, the first paint of a fresh widget, the
// repaint after scrolling one page, and heap bytes per cell. Every figure is the median of
// 5 separate measurements.
//
// Both sides paint the same area: the cells and one header row. The grid's header row is
// part of its viewport; the table's header is a widget of its own, so it is repainted and
// timed with the table's viewport. The table shows the grid's first row as its header, no
// row header (the grid has none), and the grid's row heights and column widths.
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <memory>
#include <set>

#include "bench_grid_support.h"

using namespace kelvanor;
using namespace kelvanor::bench;

namespace {

constexpr int kRuns = 5;
// Repaints and page-downs take a few milliseconds each: one measurement times this many
// and is divided by it.
constexpr int kBatch = 10;

// Adds up how long the first paint event of each chosen widget takes, wherever the event
// is dispatched from (a first paint happens inside the show, not on a call of ours).
class FirstPaintClock : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (event->type() != QEvent::Paint || pending_.erase(receiver) == 0) return QApplication::notify(receiver, event);
    bool handled = false;
    elapsedMs_ += TimeMs([&] { handled = QApplication::notify(receiver, event); });
    return handled;
  }
  void Watch(std::initializer_list<QObject*> widgets) {
    pending_ = widgets;
    elapsedMs_ = 0;
  }
  bool AllPainted() const { return pending_.empty(); }
  double ElapsedMs() const { return elapsedMs_; }

 private:
  std::set<QObject*> pending_;
  double elapsedMs_ = 0;
};

// Rows 1.. of the texts as items, row 0 as the header.
std::unique_ptr<QStandardItemModel> ModelOf(const std::vector<std::string>& texts) {
  auto model = std::make_unique<QStandardItemModel>(kRows - 1, kCols);
  for (int c = 0; c < kCols; ++c)
    model->setHorizontalHeaderItem(c, new QStandardItem(QString::fromStdString(texts[static_cast<size_t>(c)])));
  for (int r = 1; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      model->setItem(r - 1, c, new QStandardItem(QString::fromStdString(texts[static_cast<size_t>(r) * kCols + c])));
  return model;
}

// The grid's layout on the table: its header row height, row height and column widths.
void MatchGrid(QTableView& view, const CGridCtrl& grid) {
  view.verticalHeader()->hide();
  view.verticalHeader()->setDefaultSectionSize(grid.GetRowHeight(1));
  view.horizontalHeader()->setFixedHeight(grid.GetRowHeight(0));
  for (int c = 0; c < kCols; ++c) view.setColumnWidth(c, grid.GetColumnWidth(c));
}

void RepaintCellsAndHeader(QTableView& view) {
  view.viewport()->repaint();
  view.horizontalHeader()->viewport()->repaint();
}

void Batch(const std::function<void()>& work) {
  for (int i = 0; i < kBatch; ++i) work();
}

// The first paint of a fresh grid and of a fresh table on the same model, shown at 800 x 600.
struct FirstPaints {
  FirstPaintClock& clock;
  const std::vector<std::string>& texts;
  QStandardItemModel& model;
  const CGridCtrl& layout;

  double Grid() {
    CGridCtrl grid;
    FillGrid(grid, texts);
    return Time(grid, {grid.viewport()});
  }
  double Table() {
    QTableView view;
    view.setModel(&model);
    MatchGrid(view, layout);
    return Time(view, {view.viewport(), view.horizontalHeader()->viewport()});
  }
  double Time(QWidget& widget, std::initializer_list<QObject*> painted) {
    clock.Watch(painted);
    ShowAt800x600(widget);
    (void)QTest::qWaitFor([&] { return clock.AllPainted(); });
    return clock.ElapsedMs();
  }
};

std::string Ratio(double ours, double baseline, const char* better, const char* worse) {
  char text[64];
  if (ours <= baseline) std::snprintf(text, sizeof text, "%.2fx %s", baseline / ours, better);
  else std::snprintf(text, sizeof text, "%.2fx %s", ours / baseline, worse);
  return text;
}

const char* YesNo(bool met) { return met ? "yes" : "no"; }

void PrintTimes(const char* figure, double ours, double baseline, const char* target, bool met) {
  PrintFigure(figure, Fixed(ours, "ms"), Fixed(baseline, "ms"), Ratio(ours, baseline, "faster", "slower"), target,
              YesNo(met));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  FirstPaintClock app(argc, argv);
  PinLook();
  // Both sides start from the same byte strings and keep their own copies of them.
  const std::vector<std::string> texts = AllTexts();
  const double cells = static_cast<double>(kRows) * kCols;

  std::vector<double> gridFills, qtFills, gridBytes, qtBytes;
  std::unique_ptr<QStandardItemModel> model;
  for (int run = 0; run < kRuns; ++run) {
    // Each side fills a heap that holds neither table and has given its free pages back,
    // so neither reuses what the other freed while the other pays for fresh pages.
    model.reset();
    malloc_trim(0);
    auto grid = std::make_unique<CGridCtrl>();
    const std::size_t gridHeapBefore = HeapInUse();
    gridFills.push_back(TimeMs([&] { FillGrid(*grid, texts); }));
    gridBytes.push_back(static_cast<double>(HeapInUse() - gridHeapBefore) / cells);
    grid.reset();
    malloc_trim(0);
    const std::size_t qtHeapBefore = HeapInUse();
    qtFills.push_back(TimeMs([&] { model = ModelOf(texts); }));
    qtBytes.push_back(static_cast<double>(HeapInUse() - qtHeapBefore) / cells);
  }

  CGridCtrl grid;
  FillGrid(grid, texts);
  QTableView view;
  view.setModel(model.get());
  MatchGrid(view, grid);
  ShowAt800x600(grid);
  ShowAt800x600(view);
  // The first repaint after showing fills caches on both sides: one of each is not timed.
  grid.viewport()->repaint();
  RepaintCellsAndHeader(view);
  const double gridRepaint = MedianMs(kRuns, [] {}, [&] { Batch([&] { grid.viewport()->repaint(); }); }) / kBatch;
  const double qtRepaint = MedianMs(kRuns, [] {}, [&] { Batch([&] { RepaintCellsAndHeader(view); }); }) / kBatch;
  const double gridScroll = MedianMs(kRuns, [] {}, [&] {
    Batch([&] {
      grid.OnVScroll(SB_PAGEDOWN);
      grid.viewport()->repaint();
    });
  }) / kBatch;
  const double qtScroll = MedianMs(kRuns, [] {}, [&] {
    Batch([&] {
      view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
      RepaintCellsAndHeader(view);
    });
  }) / kBatch;

  // One warm-up widget of each kind, then the kinds take turns at going first.
  FirstPaints first{app, texts, *model, grid};
  first.Grid();
  first.Table();
  std::vector<double> gridFirsts, qtFirsts;
  for (int run = 0; run < kRuns; ++run) {
    if (run % 2 == 0) {
      gridFirsts.push_back(first.Grid());
      qtFirsts.push_back(first.Table());
    } else {
      qtFirsts.push_back(first.Table());
      gridFirsts.push_back(first.Grid());
    }
  }

  const double gridFill = Median(gridFills), qtFill = Median(qtFills);
  const double gridFirst = Median(gridFirsts), qtFirst = Median(qtFirsts);
  const double gridHeap = Median(gridBytes), qtHeap = Median(qtBytes);
  PrintTimes("grid: fill 100,000 x 4 texts", gridFill, qtFill, ">= 2x faster", gridFill * 2 <= qtFill);
  PrintTimes("grid: full repaint, header row included", gridRepaint, qtRepaint, ">= 2x faster",
             gridRepaint * 2 <= qtRepaint);
  PrintTimes("grid: first paint of a fresh widget", gridFirst, qtFirst, ">= 1.5x faster", gridFirst * 1.5 <= qtFirst);
  PrintTimes("grid: page down + repaint", gridScroll, qtScroll, "< 16 ms", gridScroll < 16);
  PrintFigure("grid: heap per cell", Fixed(gridHeap, "B"), Fixed(qtHeap, "B"), Ratio(gridHeap, qtHeap, "smaller", "larger"),
              "<= half", YesNo(gridHeap * 2 <= qtHeap));
  return 0;
}
