// Selection on the 100,000 x 4 grid: select-all, a keyboard move that clears it, and a
// Shift extension across 10,000 rows, side by side with QTableView's selection model; and
// how many cells the next paint draws after a one-cell selection change.
#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <QTableView>

#include "bench_grid_support.h"

using namespace kelvanor;
using namespace kelvanor::bench;

namespace {

// A cell that counts its draws, so the bench sees what a paint touched.
int g_drawn = 0;
class CountingCell : public CGridCell {
 public:
  bool Draw(GdiDC* dc, int row, int col, GdiRect rect, bool erase) override {
    ++g_drawn;
    return CGridCell::Draw(dc, row, col, rect, erase);
  }
};
const GridCellClass kCountingClass{"CountingCell", [] { return static_cast<CGridCellBase*>(new CountingCell); }};

// Cells the pending paint draws.
int DrawnByNextPaint() {
  g_drawn = 0;
  QCoreApplication::processEvents();
  return g_drawn;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PinLook();
  const std::vector<std::string> texts = AllTexts();
  CGridCtrl grid;
  grid.SetCellClass(&kCountingClass);
  FillGrid(grid, texts);
  ShowAt800x600(grid);
  grid.SetFocusCell(5, 1);
  QCoreApplication::processEvents();

  const double selectAll = TimeMs([&] { grid.OnEditSelectAll(); });
  const int allSelected = grid.GetSelectedCount();
  const double clearingMove = TimeMs([&] { grid.OnKeyDown(VK_DOWN, Qt::NoModifier); });
  const int afterMove = grid.GetSelectedCount();
  const double extend = TimeMs([&] { grid.SelectCells(CCellID(6 + 10000, 3)); });
  const int extended = grid.GetSelectedCount();

  grid.OnVScroll(SB_TOP);
  grid.SetFocusCell(5, 1);
  grid.SetSelectionStartCell(CCellID(5, 1));
  grid.SetSelectedRange(5, 1, 5, 1);
  DrawnByNextPaint();
  grid.OnKeyDown(VK_DOWN, Qt::ShiftModifier);  // one more cell selected, the focus moves with it
  const int drawn = DrawnByNextPaint();

  QStandardItemModel model(kRows, kCols);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      model.setItem(r, c, new QStandardItem(QString::fromStdString(texts[static_cast<size_t>(r) * kCols + c])));
  QTableView view;
  view.setModel(&model);
  ShowAt800x600(view);
  QItemSelectionModel* selection = view.selectionModel();
  const double qtSelectAll = TimeMs([&] { view.selectAll(); });
  const double qtClearingMove = TimeMs([&] {
    selection->setCurrentIndex(model.index(7, 1), QItemSelectionModel::ClearAndSelect);
  });
  const double qtExtend = TimeMs([&] {
    selection->select(QItemSelection(model.index(7, 1), model.index(7 + 10000, 3)), QItemSelectionModel::ClearAndSelect);
  });

  std::printf("Grid selection: %d rows x %d columns, view 800 x 600\n\n", kRows, kCols);
  std::printf("| measure | CGridCtrl | QTableView selection model | target | met |\n|---|---|---|---|---|\n");
  auto under50 = [](double ms) { return ms < 50 ? "yes" : "no"; };
  PrintRow("select-all", Fixed(selectAll, "ms") + " (" + std::to_string(allSelected) + " cells)", Fixed(qtSelectAll, "ms"),
           "< 50 ms", under50(selectAll));
  PrintRow("arrow key clearing it", Fixed(clearingMove, "ms") + " (" + std::to_string(afterMove) + " left)",
           Fixed(qtClearingMove, "ms"), "< 50 ms", under50(clearingMove));
  PrintRow("extend over 10,000 rows", Fixed(extend, "ms") + " (" + std::to_string(extended) + " cells)",
           Fixed(qtExtend, "ms"), "< 50 ms", under50(extend));
  PrintRow("cells drawn after Shift+Down", std::to_string(drawn), "-", "only the 2 changed cells",
           drawn == 2 ? "yes" : "no");
  return 0;
}
