// Board paint cost against the length of the endpoint list: only the visible tiles
// should count, so 10,000 endpoints must paint about as fast as 20. And against the
// length of the remarks: a tile shows four lines, so 20 tiles of 1 MB remarks without
// a blank must paint in under 5 ms.
#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "board/widget_board.h"
#include "platform/gbk.h"

namespace {

using namespace kelvanor;

constexpr int kWidth = 1280, kHeight = 800;

struct Endpoint {
  std::string ip, result, remark;
  int port, state;
};

// Endpoints in the three states with their result texts and remarks long enough to wrap,
// or made `remarkBytes` long of CJK and Latin letters without a blank.
std::vector<Endpoint> Endpoints(int count, std::size_t remarkBytes) {
  const std::string results[] = {Gbk(u8"连接中..."), Gbk(u8"正常连接"),
                                 Gbk(u8"由于目标计算机积极拒绝，无法连接。")};
  std::vector<Endpoint> list;
  for (int i = 0; i < count; ++i)
    list.push_back({"127.0.0." + std::to_string(1 + i % 250), results[i % 3],
                    Gbk(u8"服务器 ") + std::to_string(i) + " with a remark that wraps", 8000 + i,
                    i % 3});
  if (remarkBytes == 0) return list;
  const std::string unit = Gbk(u8"服务器备注") + "Remark";
  std::string remark;
  while (remark.size() < remarkBytes) remark += unit;
  for (Endpoint& endpoint : list) endpoint.remark = remark;
  return list;
}

// A 1280 x 800 view showing the board of a list, painted as the real view paints.
class BoardView : public QWidget {
 public:
  explicit BoardView(int count, std::size_t remarkBytes = 0)
      : list_(Endpoints(count, remarkBytes)), look_(MakeBoardLook()) {
    resize(kWidth, kHeight);
    show();
    if (!QTest::qWaitForWindowExposed(this)) qFatal("the view never showed");
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    PaintBoardOnWidget(*this, event->region(), {0, width()}, list_.size(), TilesOf(list_), look_);
  }

 private:
  std::vector<Endpoint> list_;
  BoardLook look_;
};

void PaintBoardOf(benchmark::State& state) {
  BoardView view(static_cast<int>(state.range(0)));
  for (auto _ : state) view.repaint();
}
// Medians of several runs, since the machine is shared with other work.
BENCHMARK(PaintBoardOf)->Arg(20)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

void PaintTwentyTilesWithRemarksOf(benchmark::State& state) {
  BoardView view(20, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) view.repaint();
}
BENCHMARK(PaintTwentyTilesWithRemarksOf)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

// Keeps each run's time per paint for the table printed at the end.
class TableReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.aggregate_name == "median") millis_[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
  }
  double At(const std::string& name) const { return millis_.at(name); }

 private:
  std::map<std::string, double> millis_;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TableReporter table;
  benchmark::RunSpecifiedBenchmarks(&table);
  const double few = table.At("PaintBoardOf/20");
  const double many = table.At("PaintBoardOf/10000");
  const double huge = table.At("PaintTwentyTilesWithRemarksOf/1048576");
  std::printf("| Board paint, %d x %d view | ms per paint |\n|---|---|\n", kWidth, kHeight);
  std::printf("| 20 endpoints | %.3f |\n| 10,000 endpoints | %.3f |\n", few, many);
  std::printf("| ratio 10,000 / 20 (limit 1.5) | %.2f |\n", many / few);
  std::printf("\n| 20 tiles, remark of | ms per paint |\n|---|---|\n");
  std::printf("| a short line | %.3f |\n| 1 MB without a blank (limit 5) | %.3f |\n", few, huge);
  benchmark::Shutdown();
  return 0;
}
