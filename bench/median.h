#pragma once
// Machines here are shared and noisy: every figure is the median of several runs.
#include <algorithm>
#include <vector>

namespace kelvanor::bench {

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline double Max(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

}  // namespace kelvanor::bench
