#pragma once
// What the view remembers of each endpoint while it runs, for the endpoint's details: it
// is never written to setting.xml.
#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace kelvanor {

struct IPInfo;

struct EndpointHistory {
  QDateTime changedAt;  // when the last outcome last changed
  std::chrono::steady_clock::time_point connectStarted;  // of the current probe
  std::optional<long long> connectMs;  // connect start to connect notice, of the last success
  QDateTime failedAt;
  std::string failureText;  // GBK
  std::size_t failedCycles = 0;
  // Failed cycles since the last success, start failures included.
  int failuresInRow = 0;
};

// The tool tip of an endpoint's tile as of `now`: its last outcome and since when, the
// last connect time, the last failure and how many cycles failed.
QString EndpointDetails(const IPInfo& entry, const QDateTime& now);

}  // namespace kelvanor
