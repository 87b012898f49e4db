// Sorting, copying and pasting on 100,000 x 4 text cells: the grid's sort against
// QStandardItemModel::sort on the same texts, the copy of the whole grid to clipboard text
// and the paste of 10,000 lines.
#include <QClipboard>
#include <QStandardItemModel>
#include <algorithm>
#include <memory>
#include <random>

#include "bench_grid_support.h"

using namespace kelvanor;
using namespace kelvanor::bench;

namespace {

// The benchmark's texts with the rows in a fixed shuffled order, so that there is sorting to do.
std::vector<std::string> ShuffledTexts() {
  std::vector<int> rows(kRows);
  for (int r = 0; r < kRows; ++r) rows[static_cast<size_t>(r)] = r;
  std::shuffle(rows.begin() + 1, rows.end(), std::mt19937(20261208));
  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(kRows) * kCols);
  for (int r : rows)
    for (int c = 0; c < kCols; ++c) texts.push_back(CellText(r, c));
  return texts;
}

std::unique_ptr<QStandardItemModel> ModelOf(const std::vector<std::string>& texts) {
  auto model = std::make_unique<QStandardItemModel>(kRows - 1, kCols);
  for (int r = 1; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      model->setItem(r - 1, c, new QStandardItem(QString::fromStdString(texts[static_cast<size_t>(r) * kCols + c])));
  return model;
}

std::string PasteLines(int lines) {
  std::string text;
  for (int r = 0; r < lines; ++r) {
    for (int c = 0; c < kCols; ++c) {
      text.append("P").append(std::to_string(r)).append("-").append(std::to_string(c));
      text.append(c + 1 < kCols ? "\t" : "\r\n");
    }
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PinLook();
  const std::vector<std::string> texts = ShuffledTexts();
  constexpr int kRuns = 5;

  // Both sides sort the same non-header rows by column 0, ascending, from the same order.
  CGridCtrl grid;
  ShowAt800x600(grid);
  const double gridSort = MedianMs(kRuns, [&] { FillGrid(grid, texts); }, [&] { grid.SortByColumn(0, true); });
  std::unique_ptr<QStandardItemModel> model;
  const double qtSort = MedianMs(kRuns, [&] { model = ModelOf(texts); }, [&] { model->sort(0, Qt::AscendingOrder); });

  QClipboard* clipboard = QGuiApplication::clipboard();
  const double copy = MedianMs(kRuns, [&] { grid.SelectAllCells(); }, [&] { grid.OnEditCopy(); });
  const qsizetype copiedChars = clipboard->text().size();

  constexpr int kPasteLines = 10000;
  const QString pasted = QString::fromStdString(PasteLines(kPasteLines));
  const double paste = MedianMs(
      kRuns,
      [&] {
        // Every run writes every cell: the target rows get back other texts first.
        for (int r = 1; r <= kPasteLines; ++r)
          for (int c = 0; c < kCols; ++c) grid.SetItemText(r, c, CellText(r, c));
        clipboard->setText(pasted);
        grid.ClearSelection();
        grid.SetFocusCell(1, 0);
      },
      [&] { grid.OnEditPaste(); });
  static_assert(kCols == 4);
  const bool pasteLanded = grid.GetItemText(kPasteLines, kCols - 1) == "P9999-3";

  std::printf("Grid sort and clipboard: %d rows x %d columns of text, 1 header row (median of %d)\n\n", kRows, kCols,
              kRuns);
  std::printf("| measure | CGridCtrl | QStandardItemModel | target | met |\n|---|---|---|---|---|\n");
  char ratio[64];
  std::snprintf(ratio, sizeof ratio, "ratio <= 1.0 (%.2f)", gridSort / qtSort);
  PrintRow("sort by column 0, ascending", Fixed(gridSort, "ms"), Fixed(qtSort, "ms"), ratio,
           gridSort <= qtSort ? "yes" : "no");
  char copied[64];
  std::snprintf(copied, sizeof copied, "copy of the whole grid (%lld chars)", static_cast<long long>(copiedChars));
  PrintRow(copied, Fixed(copy, "ms"), "-", "< 150 ms", copy < 150 ? "yes" : "no");
  PrintRow("paste of 10,000 lines x 4 fields", Fixed(paste, "ms"), "-", "< 300 ms",
           paste < 300 && pasteLanded ? "yes" : "no");
  return 0;
}
