#pragma once
// The endpoints' state in the Prometheus text format (or OpenMetrics), written a piece at a
// time so that a scrape of thousands of endpoints never holds the UI thread for long.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "monitor/endpoint_list.h"
#include "monitor/outcome_counts.h"

namespace kelvanor {

// What the scrape reports beyond the endpoints themselves.
struct MetricsTotals {
  OutcomeCounts counts;
  std::optional<std::chrono::steady_clock::duration> lastCycle;  // none before a cycle is complete
};

class MetricsScrape {
 public:
  explicit MetricsScrape(bool openMetrics) : openMetrics_(openMetrics) {}

  // Appends the next lines, at most `entries` endpoints' worth; false once the scrape is
  // complete. The list may change between calls: each call reads it as it stands.
  bool Next(const std::vector<IPInfo>& list, const MetricsTotals& totals, std::size_t entries, std::string& out);

  const char* ContentType() const;

 private:
  void Family(std::size_t family, std::string& out) const;

  const bool openMetrics_;
  std::size_t family_ = 0;
  std::size_t index_ = 0;
};

// A label value as the format wants it: backslash, double quote and newline escaped.
std::string EscapedLabel(std::string_view utf8);

}  // namespace kelvanor
