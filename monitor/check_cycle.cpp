#include "monitor/check_cycle.h"

#include <algorithm>

#include "platform/socket_message.h"

namespace kelvanor {
namespace {

constexpr unsigned kCheckEvent = 0x8002;  // the message number the check's notifications carry

}  // namespace

// A probe of a host name may hold three descriptors at once: its socket, and a lookup
// per address family before that.
CheckCycle::CheckCycle(const std::vector<IPInfo>& list, const MonitorOptions& options, std::size_t window)
    : list_(list), options_(options), window_(std::max<std::size_t>(1, window / 3)) {}

CheckCycle::~CheckCycle() = default;

void CheckCycle::Start(std::function<void()> done) {
  done_ = std::move(done);
  outcomes_.assign(list_.size(), {});
  probes_.clear();
  probes_.resize(list_.size());
  started_.assign(list_.size(), {});
  byHandle_.clear();
  next_ = inFlight_ = finished_ = 0;
  StartNext();
}

void CheckCycle::StartNext() {
  while (inFlight_ < window_ && next_ < list_.size()) {
    const std::size_t i = next_++;
    const IPInfo& entry = list_[i];
    if (entry.port < 1 || entry.port > 65535) {
      WSASetLastError(WSAEINVAL);
      Finish(i, false, LastErrorText());
      continue;
    }
    ++inFlight_;
    probes_[i] = std::make_unique<Socket>();
    Socket& probe = *probes_[i];
    probe.type = 1;
    probe.protocol = 0;
    started_[i] = std::chrono::steady_clock::now();
    if (probe.AimAtLiteral(entry.ip)) {
      Open(i);
      continue;
    }
    outcomes_[i].started = true;
    probe.LookUp(entry.ip, ProbeMode(entry, options_), [this, i](Socket& p, bool found) {
      if (found)
        Open(i);
      else
        Finish(i, false, p.FailureText());
      StartNext();
    });
  }
  if (finished_ == list_.size() && done_) QMetaObject::invokeMethod(this, std::exchange(done_, {}), Qt::QueuedConnection);
}

void CheckCycle::Open(std::size_t i) {
  Socket& probe = *probes_[i];
  if (!probe.Create()) return Finish(i, false, probe.FailureText());
  byHandle_[probe.handle] = i;
  if (!probe.Select(this, kCheckEvent, FD_CONNECT) || probe.Connect(list_[i].ip, list_[i].port))
    return Finish(i, false, probe.FailureText());
  outcomes_[i].started = true;
}

void CheckCycle::Finish(std::size_t i, bool connected, std::string error) {
  CheckOutcome& outcome = outcomes_[i];
  outcome.connected = connected;
  outcome.error = std::move(error);
  if (connected)
    outcome.connectMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_[i]).count();
  if (probes_[i]) {
    byHandle_.erase(probes_[i]->handle);
    probes_[i].reset();
    --inFlight_;
  }
  ++finished_;
}

bool CheckCycle::event(QEvent* e) {
  if (e->type() != SocketMessage::EventType()) return QObject::event(e);
  const auto* message = static_cast<SocketMessage*>(e);
  const auto found = byHandle_.find(message->handle);
  if (message->message != kCheckEvent || (message->word & 0xFFFF) != FD_CONNECT || found == byHandle_.end()) return true;
  const int error = static_cast<int>(message->word >> 16);
  const std::size_t i = found->second;
  Finish(i, error == 0, error == 0 ? std::string() : probes_[i]->OutcomeText(error));
  StartNext();
  return true;
}

}  // namespace kelvanor
