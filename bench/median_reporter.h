#pragma once
// Keeps each benchmark's median time and its "MB" counter (0 without one), by name, so a
// bench can print its own table once everything has run.
#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kelvanor::bench {

class MedianReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.aggregate_name == "median")
        rows_[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                             run.counters.count("MB") ? double(run.counters.at("MB")) : 0.0};
  }
  // The median time and megabytes of a benchmark.
  std::pair<double, double> At(const std::string& name) const { return rows_.at(name); }

 private:
  std::map<std::string, std::pair<double, double>> rows_;
};

}  // namespace kelvanor::bench
