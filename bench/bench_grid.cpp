// The grid core against QTableView + QStandardItemModel holding the same 100,000 x 4 texts:
// fill time, a full paint of an 800 x 600 view, the repaint after scrolling one page, and
// heap bytes per cell.
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <memory>

#include "bench_grid_support.h"

using namespace kelvanor;
using namespace kelvanor::bench;

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PinLook();
  // Both sides start from the same byte strings and keep their own copies of them.
  const std::vector<std::string> texts = AllTexts();
  const double cells = static_cast<double>(kRows) * kCols;

  CGridCtrl grid;
  const std::size_t gridHeapBefore = HeapInUse();
  const double gridFill = TimeMs([&] { FillGrid(grid, texts); });
  const double gridBytes = static_cast<double>(HeapInUse() - gridHeapBefore) / cells;

  const std::size_t qtHeapBefore = HeapInUse();
  auto model = std::make_unique<QStandardItemModel>();
  const double qtFill = TimeMs([&] {
    model->setRowCount(kRows);
    model->setColumnCount(kCols);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) model->setItem(r, c, new QStandardItem(QString::fromStdString(texts[static_cast<size_t>(r) * kCols + c])));
  });
  const double qtBytes = static_cast<double>(HeapInUse() - qtHeapBefore) / cells;
  QTableView view;
  view.setModel(model.get());
  view.verticalHeader()->setDefaultSectionSize(grid.GetRowHeight(1));

  ShowAt800x600(grid);
  ShowAt800x600(view);
  const double gridFirstPaint = TimeMs([&] { grid.viewport()->repaint(); });
  const double qtFirstPaint = TimeMs([&] { view.viewport()->repaint(); });
  const double gridPaint = MedianMs(15, [] {}, [&] { grid.viewport()->repaint(); });
  const double qtPaint = MedianMs(15, [] {}, [&] { view.viewport()->repaint(); });
  const double gridScroll = MedianMs(15, [] {}, [&] {
    grid.OnVScroll(SB_PAGEDOWN);
    grid.viewport()->repaint();
  });
  const double qtScroll = MedianMs(15, [] {}, [&] {
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    view.viewport()->repaint();
  });

  std::printf("Grid core: %d rows x %d columns, text in every cell, view 800 x 600 (median of 15 where repeated)\n\n",
              kRows, kCols);
  std::printf("| measure | CGridCtrl | QTableView + QStandardItemModel | target | met |\n|---|---|---|---|---|\n");
  auto faster = [](double ours, double theirs) { return ours * 2 <= theirs ? "yes" : "no"; };
  PrintRow("(a) fill", Fixed(gridFill, "ms"), Fixed(qtFill, "ms"), ">= 2x faster", faster(gridFill, qtFill));
  PrintRow("(b) first full paint", Fixed(gridFirstPaint, "ms"), Fixed(qtFirstPaint, "ms"), ">= 2x faster",
           faster(gridFirstPaint, qtFirstPaint));
  PrintRow("(b) full paint, median", Fixed(gridPaint, "ms"), Fixed(qtPaint, "ms"), ">= 2x faster",
           faster(gridPaint, qtPaint));
  PrintRow("(c) page down + repaint", Fixed(gridScroll, "ms"), Fixed(qtScroll, "ms"), "< 16 ms",
           gridScroll < 16 ? "yes" : "no");
  PrintRow("(d) heap per cell", Fixed(gridBytes, "B"), Fixed(qtBytes, "B"), "<= half",
           gridBytes * 2 <= qtBytes ? "yes" : "no");
  return 0;
}
