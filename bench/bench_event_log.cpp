// The event log: what one Append costs the UI thread (with the writer busy on the disk,
// and with the file unwritable so that lines pile up), and how fast the writer empties
// a burst into the file, rotations at 10 MB included.
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bench/median_reporter.h"
#include "monitor/event_log.h"

namespace {

using namespace kelvanor;

EventRecord Change(int i) {
  return {std::chrono::system_clock::now(), "127.0.0." + std::to_string(1 + i % 250), 1000 + i % 60000,
          "server, rack " + std::to_string(i % 97), EventOutcome::Connected, EventOutcome::Failed,
          "connection refused", 3};
}

void WaitIdle(const EventLog& log) {
  while (!log.Idle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Times Append alone: the writer catches up after the timing.
void TimeAppends(benchmark::State& state, const std::filesystem::path& directory) {
  EventLog log(directory);
  int i = 0;
  for (auto _ : state) log.Append(Change(i++));
  WaitIdle(log);
}

void AppendWritable(benchmark::State& state) {
  QTemporaryDir dir;
  TimeAppends(state, dir.path().toStdString());
}
BENCHMARK(AppendWritable)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);

void AppendUnwritable(benchmark::State& state) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.path().toStdString() + "/not-a-directory";
  std::ofstream(file) << "x";
  TimeAppends(state, file);
}
BENCHMARK(AppendUnwritable)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);

// Appends `count` records at once and waits until the writer has them all in the file.
void WriteBurst(benchmark::State& state) {
  QTemporaryDir dir;
  for (auto _ : state) {
    EventLog log(dir.path().toStdString());
    for (int i = 0; i < state.range(0); ++i) log.Append(Change(i));
    WaitIdle(log);
  }
  std::uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString())) bytes += entry.file_size();
  state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(WriteBurst)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench::MedianReporter table;
  benchmark::RunSpecifiedBenchmarks(&table);
  std::printf("| Event log | median |\n|---|---|\n");
  std::printf("| Append on the UI thread, file writable | %.2f us |\n", table.At("AppendWritable").first);
  std::printf("| Append on the UI thread, file unwritable (lines held) | %.2f us |\n", table.At("AppendUnwritable").first);
  std::printf("| 200,000 records appended at once, all in the file (%.1f MB, rotated at 10 MB) | %.0f ms |\n",
              table.At("WriteBurst").second, table.At("WriteBurst").first);
  benchmark::Shutdown();
  return 0;
}
