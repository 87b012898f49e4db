#pragma once
// How many endpoints last connected, last failed, or have had no outcome yet. A new cycle
// does not change an endpoint's last outcome, so these do not flicker with every cycle.
#include <cstddef>
#include <optional>
#include <vector>

#include "monitor/endpoint_list.h"

namespace kelvanor {

struct OutcomeCounts {
  std::size_t connected = 0, failed = 0, unchecked = 0;

  // Moves one endpoint from the count of `before` to that of `after`.
  void Move(std::optional<ProbeState> before, std::optional<ProbeState> after);
  friend bool operator==(const OutcomeCounts&, const OutcomeCounts&) = default;
};

OutcomeCounts CountOutcomes(const std::vector<IPInfo>& list);

}  // namespace kelvanor
