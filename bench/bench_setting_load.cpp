// Loading setting.xml: a file of 100,000 ordinary endpoints must load in under 2 s, and
// one with hundreds of thousands of attributes in one element, which the parser would
// take minutes over, must be refused within a second.
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/median_reporter.h"
#include "settings/setting_file.h"

namespace {

using namespace kelvanor;

std::string OrdinaryFile(int endpoints) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n    <RefreshTime val=\"30\"/>\n";
  for (int i = 0; i < endpoints; ++i)
    xml += "    <IPInfo ip=\"127.0.0." + std::to_string(1 + i % 250) + "\" port=\"" + std::to_string(1000 + i) +
           "\" remark=\"server " + std::to_string(i) + "\"/>\n";
  return xml + "</root>\n";
}

std::string HostileFile(int attributes) {
  std::string xml = "<root><IPInfo";
  for (int i = 0; i < attributes; ++i) xml += " a" + std::to_string(i) + "=\"1\"";
  return xml + "/></root>";
}

// Loads `bytes` as setting.xml from a temporary working directory.
void Load(benchmark::State& state, const std::string& bytes, int expected) {
  QTemporaryDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path().toStdString());
  std::ofstream("setting.xml", std::ios::binary) << bytes;
  for (auto _ : state) {
    SettingData setting;
    if (LoadSetting(setting) != expected) state.SkipWithError("unexpected result");
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / (1 << 20);
  std::filesystem::current_path(previous);
}

void LoadOrdinary(benchmark::State& state) { Load(state, OrdinaryFile(static_cast<int>(state.range(0))), 0); }
BENCHMARK(LoadOrdinary)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

void RefuseHostile(benchmark::State& state) { Load(state, HostileFile(static_cast<int>(state.range(0))), -1); }
BENCHMARK(RefuseHostile)->Arg(300000)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench::MedianReporter table;
  benchmark::RunSpecifiedBenchmarks(&table);
  const auto [ordinary, ordinaryMb] = table.At("LoadOrdinary");
  const auto [hostile, hostileMb] = table.At("RefuseHostile");
  std::printf("| Loading setting.xml | MB | ms |\n|---|---|---|\n");
  std::printf("| 100,000 endpoints (limit 2000) | %.1f | %.1f |\n", ordinaryMb, ordinary);
  std::printf("| 300,000 attributes in one element, refused (limit 1000) | %.1f | %.1f |\n", hostileMb, hostile);
  benchmark::Shutdown();
  return 0;
}
