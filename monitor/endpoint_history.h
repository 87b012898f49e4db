#pragma once
// What the view remembers of each endpoint while it runs, for the endpoint's details: it
// is never written to setting.xml.
#include <QString>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "monitor/latency_ring.h"
#include "platform/socket_address.h"

namespace kelvanor {

struct IPInfo;

// Times are kept as the system clock gives them: turning thousands of outcomes a cycle
// into local dates would cost more than the outcomes themselves.
struct EndpointHistory {
  using Time = std::chrono::system_clock::time_point;
  Time changedAt;  // when the last outcome last changed
  std::chrono::steady_clock::time_point connectStarted;  // of the current probe
  std::optional<long long> connectMs;  // connect start to connect notice, of the last success
  // The address whose answer decided the last connect outcome.
  std::optional<SocketAddress> decidedBy;
  std::optional<Time> failedAt;
  std::string failureText;  // GBK
  std::size_t failedCycles = 0;
  // Failed cycles since the last success, start failures included.
  int failuresInRow = 0;
  LatencyRing latency;
};

// The tool tip of an endpoint's tile as of `now`: its last outcome and since when, the
// last connect time, the last failure, how many cycles failed, and the recent outcomes
// drawn as a line with their figures.
QString EndpointDetails(const IPInfo& entry, EndpointHistory::Time now);

}  // namespace kelvanor
