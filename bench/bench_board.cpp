// Board paint cost against the length of the endpoint list: only the visible tiles
// should count, so 10,000 endpoints must paint about as fast as 20.
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

// Endpoints in the three states with their result texts and remarks long enough to wrap.
std::vector<Endpoint> Endpoints(int count) {
  const std::string results[] = {Gbk(u8"连接中..."), Gbk(u8"正常连接"),
                                 Gbk(u8"由于目标计算机积极拒绝，无法连接。")};
  std::vector<Endpoint> list;
  for (int i = 0; i < count; ++i)
    list.push_back({"127.0.0." + std::to_string(1 + i % 250), results[i % 3],
                    Gbk(u8"服务器 ") + std::to_string(i) + " with a remark that wraps", 8000 + i,
                    i % 3});
  return list;
}

// A 1280 x 800 view showing the board of a list, painted as the real view paints.
class BoardView : public QWidget {
 public:
  explicit BoardView(int count) : list_(Endpoints(count)), look_(MakeBoardLook()) {
    resize(kWidth, kHeight);
    show();
    if (!QTest::qWaitForWindowExposed(this)) qFatal("the view never showed");
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    PaintBoardOnWidget(*this, event->rect(), list_.size(), TilesOf(list_), look_);
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

// Keeps each run's time per paint for the table printed at the end.
class TableReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.aggregate_name == "median") millis_[run.run_name.args] = run.GetAdjustedRealTime();
  }
  double At(const std::string& args) const { return millis_.at(args); }

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
  const double few = table.At("20");
  const double many = table.At("10000");
  std::printf("| Board paint, %d x %d view | ms per paint |\n|---|---|\n", kWidth, kHeight);
  std::printf("| 20 endpoints | %.3f |\n| 10,000 endpoints | %.3f |\n", few, many);
  std::printf("| ratio 10,000 / 20 (limit 1.5) | %.2f |\n", many / few);
  benchmark::Shutdown();
  return 0;
}
