#include "monitor/outcome_counts.h"

namespace kelvanor {
namespace {

std::size_t& CountOf(OutcomeCounts& counts, std::optional<ProbeState> outcome) {
  if (!outcome) return counts.unchecked;
  return *outcome == Failed ? counts.failed : counts.connected;
}

}  // namespace

void OutcomeCounts::Move(std::optional<ProbeState> before, std::optional<ProbeState> after) {
  --CountOf(*this, before);
  ++CountOf(*this, after);
}

OutcomeCounts CountOutcomes(const std::vector<IPInfo>& list) {
  OutcomeCounts counts;
  for (const IPInfo& entry : list) ++CountOf(counts, entry.lastOutcome);
  return counts;
}

}  // namespace kelvanor
