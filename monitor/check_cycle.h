#pragma once
// One probe of every endpoint of a list, for the check mode: no view, no alarm, no box.
// The outcomes reach this object as socket notifications on the event loop, as they
// reach the view; its probes hold at most `window` descriptors and lookups at a time.
#include <QObject>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "monitor/endpoint_list.h"

namespace kelvanor {

struct CheckOutcome {
  bool connected = false;
  bool started = false;  // a lookup or a connect was under way; false: it failed before either
  std::string error;     // GBK table text of the failure
  std::optional<long long> connectMs;
};

class CheckCycle : public QObject {
 public:
  CheckCycle(const std::vector<IPInfo>& list, const MonitorOptions& options, std::size_t window);
  ~CheckCycle() override;

  // Probes every endpoint; `done` runs on the event loop once every outcome is in.
  void Start(std::function<void()> done);
  const std::vector<CheckOutcome>& Outcomes() const { return outcomes_; }

 protected:
  bool event(QEvent* e) override;

 private:
  void StartNext();
  void Open(std::size_t i);
  void Finish(std::size_t i, bool connected, std::string error);

  const std::vector<IPInfo>& list_;
  const MonitorOptions options_;
  const std::size_t window_;
  std::vector<CheckOutcome> outcomes_;
  std::vector<std::unique_ptr<Socket>> probes_;
  std::vector<std::chrono::steady_clock::time_point> started_;
  std::unordered_map<SOCKET, std::size_t> byHandle_;
  std::size_t next_ = 0, inFlight_ = 0, finished_ = 0;
  std::function<void()> done_;
};

}  // namespace kelvanor
