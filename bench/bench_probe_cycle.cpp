// The probe cycle over loopback endpoints, half listening and half refused, against its
// floor, for each endpoint count on the command line (default 2,000 and 10,000). Five
// runs each: a run times the floor's cycles, then fresh views showing their board at
// 1280 x 800 do theirs. Prints rows of the bench table (see bench/run.sh); what a cycle
// got wrong goes to stderr.
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "bench/clocks.h"
#include "bench/median.h"
#include "bench/probe_floor.h"
#include "bench/table_row.h"
#include "bench/timed_application.h"
#include "monitor/kelvanor_view.h"
#include "platform/file_limit.h"
#include "platform/gbk.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/common/process_counts.h"

namespace {

using namespace kelvanor;
using namespace kelvanor::bench;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;
constexpr int kCycles = 4;
// Nothing accepts, so a listener's queue (4,096 at most) keeps every connection made to
// it in a run: 200 listening endpoints each, in four kinds of cycle (two views' and two
// floors') four times, make 3,200.
constexpr int kEndpointsPerListener = 400;
constexpr int kWidth = 1280, kHeight = 800;
constexpr double kFrameMs = 16;
// After the last outcome, time for the frame that shows it; the loop sleeps meanwhile.
constexpr std::chrono::milliseconds kSettleTime{100};

// The targets; only some apply to each endpoint count.
struct Targets {
  std::optional<double> cycleToFloor, longestEventMs, cpuToFloor;
  bool paints = false;
};

Targets TargetsFor(int endpoints) {
  if (endpoints == 2000) return {1.10, {}, {}, false};
  if (endpoints == 10000) return {{}, 8.0, 1.2, true};
  return {};
}

struct Cycle {
  double wallMs, cpuMs, longestWallMs, longestCpuMs, paints, paintedViews;
};

// One cycle of the view: its wall time runs from RefreshStatus to the last outcome
// handled; the process CPU, the UI events and the paints are counted on for a while after
// it, so that the frame showing that outcome is in.
Cycle ProbeCycle(TimedApplication& app, CKelvanorView& view) {
  const std::vector<IPInfo>& list = view.Setting().ipList;
  QEventLoop loop;
  Clock::time_point start, lastOutcome;
  std::chrono::nanoseconds cpuStart{};
  std::size_t settled = 0;  // the entries before it have their outcome
  app.afterEvent = [&] {
    if (start == Clock::time_point{} || lastOutcome != Clock::time_point{} || view.IsWalking()) return;
    while (settled < list.size() && list[settled].state != Connecting) ++settled;
    if (settled < list.size()) return;
    lastOutcome = Clock::now();
    QTimer::singleShot(kSettleTime, &loop, &QEventLoop::quit);
  };
  app.Reset();
  QTimer::singleShot(0, &view, [&] {
    start = Clock::now();
    cpuStart = CpuTime(CLOCK_PROCESS_CPUTIME_ID);
    view.RefreshStatus();
  });
  QTimer::singleShot(std::chrono::minutes(1), &loop, &QEventLoop::quit);  // a lost outcome must not hang the bench
  loop.exec();
  const std::chrono::nanoseconds cpuEnd = CpuTime(CLOCK_PROCESS_CPUTIME_ID);
  app.afterEvent = nullptr;
  if (lastOutcome == Clock::time_point{}) std::fprintf(stderr, "a cycle did not finish within a minute\n");
  const TimedApplication::Tally& t = app.tally();
  return {Ms(lastOutcome - start),   Ms(cpuEnd - cpuStart),
          Ms(t.longestWall),         Ms(t.longestCpu),
          static_cast<double>(t.paints), static_cast<double>(t.paintedPixels) / (kWidth * kHeight)};
}

// One run's figures: medians of its cycles, the most for UI events and paints.
struct Run {
  double cycleMs, cpuMs, longestWallMs, longestCpuMs, paints, paintedViews;
  double floorMs, floorCpuMs, bareFloorMs;
};

std::vector<int> Ports(int endpoints, const std::vector<std::unique_ptr<testing::TcpListener>>& listeners,
                       int refused) {
  std::vector<int> ports;
  for (int i = 0; i < endpoints; ++i)
    ports.push_back(i % 2 ? listeners[static_cast<std::size_t>(i / 2) % listeners.size()]->port() : refused);
  return ports;
}

// The cycles of a fresh view showing its board, each taken apart into one list a figure.
struct ViewCycles {
  std::vector<double> wallMs, cpuMs, longestWallMs, longestCpuMs, paints, paintedViews;
};

// KELVANOR_BENCH_OPTIONS set: every option that can run without a tray is on, the event
// log writing to a directory of its own.
bool WithOptions() { return std::getenv("KELVANOR_BENCH_OPTIONS") != nullptr; }

ViewCycles CyclesOfAView(TimedApplication& app, const std::vector<int>& ports, bool threadCpu) {
  CKelvanorView view;
  view.Setting().soundType = 0;  // thousands of alarm requests a cycle would measure the sound worker
  for (int port : ports) view.Setting().Append(IPInfo("127.0.0.1", port, ""));
  QTemporaryDir logDir;
  if (WithOptions()) {
    MonitorOptions& options = view.Setting().options;
    options.failuresBeforeAlarm = 3;
    options.recoverySound = options.eventLog = true;
    const QString home = QDir::currentPath();
    QDir::setCurrent(logDir.path());
    view.ApplyOptions();
    QDir::setCurrent(home);
  }
  app.Watch(&view);
  app.TimeThreadCpu(threadCpu);
  app.Reset();
  view.resize(kWidth, kHeight);
  view.show();
  if (!QTest::qWaitForWindowExposed(&view) || !testing::WaitFor([&] { return app.tally().paints > 0; }))
    qFatal("the view never showed");

  ViewCycles cycles;
  for (int c = 0; c < kCycles; ++c) {
    const Cycle cycle = ProbeCycle(app, view);
    cycles.wallMs.push_back(cycle.wallMs);
    cycles.cpuMs.push_back(cycle.cpuMs);
    cycles.longestWallMs.push_back(cycle.longestWallMs);
    cycles.longestCpuMs.push_back(cycle.longestCpuMs);
    cycles.paints.push_back(cycle.paints);
    cycles.paintedViews.push_back(cycle.paintedViews);
    const auto connected = std::count_if(view.Setting().ipList.begin(), view.Setting().ipList.end(),
                                         [](const IPInfo& e) { return e.state == Connected; });
    if (static_cast<std::size_t>(connected) != ports.size() / 2)
      std::fprintf(stderr, "%zu endpoints, cycle %d: %ld connected, not %zu\n", ports.size(), c + 1,
                   static_cast<long>(connected), ports.size() / 2);
    FlushSocketWork();
  }
  app.Watch(nullptr);
  app.TimeThreadCpu(false);
  return cycles;
}

Run OneRun(TimedApplication& app, int endpoints) {
  std::vector<std::unique_ptr<testing::TcpListener>> listeners;  // fresh queues for every run
  for (int i = 0; i < std::max(1, endpoints / kEndpointsPerListener); ++i)
    listeners.push_back(std::make_unique<testing::TcpListener>(4096));
  const std::vector<int> ports = Ports(endpoints, listeners, testing::RefusedPort());

  std::vector<double> floorMs, floorCpuMs, bareFloorMs;
  {  // the floor's sockets are gone before the view's open: both would pass the open-file limit
    ProbeFloor floor(ports);
    for (int c = 0; c < kCycles; ++c) bareFloorMs.push_back(floor.WithoutCloses().wallMs);
    for (int c = 0; c < kCycles; ++c) {
      const ProbeFloor::Cycle f = floor.WithCloses();
      floorMs.push_back(f.wallMs);
      floorCpuMs.push_back(f.cpuMs);
    }
  }
  // One view for the program's own figures, another for the UI events' CPU time.
  const ViewCycles view = CyclesOfAView(app, ports, false);
  FlushSocketWork();  // its sockets closed: the two views' together would pass the open-file limit
  const ViewCycles timed = CyclesOfAView(app, ports, true);
  return {Median(view.wallMs), Median(view.cpuMs),       Max(view.longestWallMs),
          Max(timed.longestCpuMs), Max(view.paints),       Max(view.paintedViews),
          Median(floorMs),       Median(floorCpuMs),     Median(bareFloorMs)};
}

void PrintRows(int endpoints, const std::vector<Run>& runs) {
  auto median = [&runs](double Run::*field) {
    std::vector<double> values;
    for (const Run& run : runs) values.push_back(run.*field);
    return Median(values);
  };
  const Targets targets = TargetsFor(endpoints);
  const std::string n = Grouped(endpoints) + (WithOptions() ? " endpoints, options on: " : " endpoints: ");
  auto ratioRow = [&](const std::string& figure, double ours, double baseline, std::optional<double> target) {
    const double ratio = ours / baseline;
    PrintRow(n + figure, Millis(ours), Millis(baseline), Format("%.2f", ratio),
             target ? Format("<= %.2f", *target) : "—", target ? Met(ratio <= *target) : "—");
  };
  auto limitRow = [&](const std::string& figure, const std::string& ours, double value, std::optional<double> limit,
                      const std::string& target) {
    PrintRow(n + figure, ours, "—", "—", limit ? target : "—", limit ? Met(value <= *limit) : "—");
  };

  const double cycle = median(&Run::cycleMs);
  ratioRow("cycle / floor with closes", cycle, median(&Run::floorMs), targets.cycleToFloor);
  ratioRow("cycle / floor without closes", cycle, median(&Run::bareFloorMs), {});
  ratioRow("process CPU per cycle / the floor's (with closes)", median(&Run::cpuMs), median(&Run::floorCpuMs),
           targets.cpuToFloor);
  const double wall = median(&Run::longestWallMs), cpu = median(&Run::longestCpuMs);
  limitRow("longest UI event, every cycle including the first (wall)", Millis(wall), wall, targets.longestEventMs,
           "<= 8 ms");
  limitRow("longest UI event, every cycle including the first (UI-thread CPU)", Millis(cpu), cpu,
           targets.longestEventMs, "<= 8 ms");
  const double paints = median(&Run::paints);
  const double paintBound = std::ceil(cycle / kFrameMs) + 1;
  limitRow("paint events in a cycle (most of a run)", Format("%.0f", paints), paints,
           targets.paints ? std::optional(paintBound) : std::nullopt,
           Format("<= %.0f, ceil(cycle / 16 ms) + 1", paintBound));
  const double views = median(&Run::paintedViews);
  limitRow("area painted in a cycle, in whole views (most of a run)", Format("%.1f", views), views,
           targets.paints ? std::optional(2.0) : std::nullopt, "<= 2.0: the cycle-start paint, then changed tiles once");
}

}  // namespace

int main(int argc, char** argv) {
  RaiseOpenFileLimit();
  TimedApplication app(argc, argv);
  testing::MessageBoxRecorder boxes;
  int descriptors = -1;

  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {2000, 10000};
  for (int endpoints : counts) {
    std::vector<Run> runs;
    for (int r = 0; r < kRuns; ++r) {
      runs.push_back(OneRun(app, endpoints));
      FlushSocketWork();
      // Qt's pooled threads come with the first paints and stay a while: the first run
      // sets the count the others must come back to.
      if (descriptors < 0) descriptors = testing::OpenDescriptors();
      if (testing::OpenDescriptors() > descriptors)
        std::fprintf(stderr, "%d endpoints, run %d: %d more descriptors than after the first run\n", endpoints, r + 1,
                     testing::OpenDescriptors() - descriptors);
    }
    PrintRows(endpoints, runs);
  }

  for (const MessageBoxCall& box : boxes.calls)
    std::fprintf(stderr, "box %s: %s\n", box.caption.c_str(), GbkToUtf8(box.text).c_str());
  return 0;
}
