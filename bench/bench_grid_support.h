#pragma once
// Helpers shared by the grid benchmarks: an offscreen application with a pinned look,
// a wall clock, heap measurement and the 100,000 x 4 grid with text in every cell.
#include <malloc.h>

#include <QApplication>
#include <QStyleFactory>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "grid/grid_ctrl.h"

namespace kelvanor::bench {

constexpr int kRows = 100000;
constexpr int kCols = 4;

inline void PinLook() {
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QFont font("WenQuanYi Micro Hei");
  font.setPixelSize(12);
  QApplication::setFont(font);
}

// Milliseconds one call of work takes.
inline double TimeMs(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The median of several runs of work, each after prepare.
inline double MedianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    prepare();
    times.push_back(TimeMs(work));
  }
  return Median(std::move(times));
}

inline std::size_t HeapInUse() { return mallinfo2().uordblks; }

inline std::string CellText(int row, int col) {
  return std::string("R").append(std::to_string(row)).append("C").append(std::to_string(col));
}

// Fills the grid with one header row and text in every cell.
inline void FillGrid(CGridCtrl& grid, const std::vector<std::string>& texts) {
  grid.SetRowCount(kRows);
  grid.SetColumnCount(kCols);
  grid.SetFixedRowCount(1);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) grid.SetItemText(r, c, texts[static_cast<size_t>(r) * kCols + c]);
}

inline std::vector<std::string> AllTexts() {
  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(kRows) * kCols);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) texts.push_back(CellText(r, c));
  return texts;
}

inline void ShowAt800x600(QWidget& widget) {
  widget.resize(800, 600);
  widget.show();
  (void)QTest::qWaitForWindowExposed(&widget);
}

inline void PrintRow(const char* measure, const std::string& grid, const std::string& qt, const std::string& target,
                     const std::string& verdict) {
  std::printf("| %s | %s | %s | %s | %s |\n", measure, grid.c_str(), qt.c_str(), target.c_str(), verdict.c_str());
}

// One row of the benchmarks' common table: figure, ours, baseline, ratio, target, met.
inline void PrintFigure(const char* figure, const std::string& ours, const std::string& baseline,
                        const std::string& ratio, const std::string& target, const std::string& met) {
  std::printf("| %s | %s | %s | %s | %s | %s |\n", figure, ours.c_str(), baseline.c_str(), ratio.c_str(),
              target.c_str(), met.c_str());
}

inline std::string Fixed(double value, const char* unit) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %s", value, unit);
  return text;
}

}  // namespace kelvanor::bench
