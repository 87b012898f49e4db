// The Windows-style socket calls over one process-wide epoll set. A single
// QSocketNotifier watches the epoll descriptor: Qt polls every notifier on each turn of
// its loop, so one per probe would make every turn slow with thousands of probes.
// Outcomes are queued and delivered one at a time, each after checking that its socket
// is still open, so a nested event loop opened by a handler neither repeats nor loses
// an outcome and a closed socket's outcome never reaches a reused handle. During a burst
// the layer looks at most once a millisecond: waking the UI thread for each of thousands
// of outcomes costs more than handling them.
#include <fcntl.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <deque>
#include <mutex>
#include <queue>
#include <unordered_map>
#include <vector>

#include "platform/app_lifetime.h"
#include "platform/file_limit.h"
#include "platform/self_connect.h"
#include "platform/socket_message.h"
#include "platform/socket_worker.h"
#include "platform/winsock.h"

namespace kelvanor {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds connectTimeout = kWindowsConnectTimeout;
std::chrono::milliseconds connectTimeoutLimit = std::chrono::milliseconds::max();

std::chrono::milliseconds EffectiveConnectTimeout() { return std::min(connectTimeout, connectTimeoutLimit); }

constexpr std::uint64_t kWakeId = 0;  // epoll data of the worker's wake-up eventfd
constexpr int kEventsPerTurn = 256;   // bounds the time one loop turn spends here
constexpr std::chrono::milliseconds kPace{1};  // the least time between two looks in a burst

class SocketLayer {
 public:
  SocketLayer();
  ~SocketLayer();

  SOCKET Create(int family, int type, int protocol);
  int Select(SOCKET s, QObject* window, unsigned message, long events);
  int Connect(SOCKET s, const std::vector<SocketAddress>& addresses, ConnectPolicy policy, bool moreToCome);
  void ConnectMore(SOCKET s, const std::vector<SocketAddress>& addresses, bool last);
  std::optional<SocketAddress> DecidedBy(SOCKET s);
  int Close(SOCKET s);
  bool IsConnectPending(SOCKET s) const;
  void Flush() { worker_.Flush(); }
  std::size_t Held() const { return registrations_.size() + extraSockets_ + worker_.ClosesPending(); }
  bool ClosesPending() const { return worker_.ClosesPending() > 0; }

 private:
  enum class Phase { kIdle, kConnecting, kConnected, kDone };
  // One address being connected to. The first is made on the handle itself; the others
  // on sockets of the layer's own.
  struct Attempt {
    int fd;
    SocketAddress address;
    std::uint64_t job = 0;  // the worker job that makes the connect
    bool live = true;       // neither failed nor given up
    bool connected = false;
  };
  struct Registration {
    SOCKET handle = 0;
    QPointer<QObject> window;
    unsigned message = 0;
    long events = 0;
    Phase phase = Phase::kIdle;
    ConnectPolicy policy = ConnectPolicy::kFirst;
    std::vector<Attempt> attempts;
    std::vector<SocketAddress> untried;  // kFirst: the addresses still to try, the next last
    bool moreToCome = false;
    Clock::time_point lastAttemptAt;
    int lastError = 0;
    std::optional<SocketAddress> decidedBy;
  };
  struct Outcome {
    std::uint64_t id;
    long event;
    int error;
  };
  struct Deadline {
    Clock::time_point when;
    std::uint64_t id;
    // 0 for the connect's time limit; else the next attempt is due unless a failure has
    // started it already, which the count of attempts then shows.
    std::size_t attemptsBefore = 0;
    bool operator>(const Deadline& other) const { return when > other.when; }
  };

  Registration* Find(std::uint64_t id);
  Registration* FindHandle(SOCKET s, std::uint64_t* id = nullptr);
  bool StartAttempt(std::uint64_t id, Registration& r, const SocketAddress& address);
  void StartNextAttempt(std::uint64_t id, Registration& r);
  void AttemptFailed(std::uint64_t id, Registration& r, std::size_t index, int error);
  void AttemptConnected(std::uint64_t id, Registration& r, std::size_t index);
  void FailIfNothingLeft(std::uint64_t id, Registration& r);
  void Decide(std::uint64_t id, Registration& r, const Attempt& decider, int error);
  void Drop(Attempt& attempt, SOCKET handle);
  void OnReadyPaced();
  int OnReady();
  void TakeWorkerFailures();
  void OnEpollEvent(std::uint64_t data, std::uint32_t events);
  void OnDeadline();
  void PushDeadline(Clock::time_point when, std::uint64_t id, std::size_t attemptsBefore = 0);
  bool StillUnanswered(const Registration& r);
  void ArmDeadlineTimer();
  void Deliver();
  void DeliverSoon();

  int epoll_ = -1;
  int wake_ = -1;
  std::uint64_t nextId_ = 1;
  std::unordered_map<std::uint64_t, Registration> registrations_;
  std::unordered_map<SOCKET, std::uint64_t> idOfHandle_;
  std::size_t extraSockets_ = 0;  // open sockets of attempts past each first
  std::deque<Outcome> outbox_;
  std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
  QTimer deadlineTimer_;
  QTimer pace_;  // runs while the notifier rests after a look that found something
  std::mutex failuresMutex_;
  std::vector<std::pair<std::uint64_t, int>> workerFailures_;  // (epoll data, errno)
  QSocketNotifier* notifier_ = nullptr;
  SocketWorker worker_;
};

// An attempt's epoll data: its registration, and its place among the registration's
// attempts in the top bits.
constexpr int kAttemptShift = 48;
std::uint64_t DataOf(std::uint64_t id, std::size_t attempt) { return id | std::uint64_t{attempt} << kAttemptShift; }
std::uint64_t IdOf(std::uint64_t data) { return data & ((std::uint64_t{1} << kAttemptShift) - 1); }
std::size_t AttemptOf(std::uint64_t data) { return static_cast<std::size_t>(data >> kAttemptShift); }

SocketLayer& Layer() { return AppLifetime<SocketLayer>::Get(); }

SocketLayer::SocketLayer()
    : epoll_(epoll_create1(EPOLL_CLOEXEC)),
      wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      worker_(epoll_, [this](std::uint64_t data, int err) {
        {
          std::lock_guard lock(failuresMutex_);
          workerFailures_.emplace_back(data, err);
        }
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
      }) {
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.u64 = kWakeId;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &ev);
  notifier_ = new QSocketNotifier(epoll_, QSocketNotifier::Read);
  QObject::connect(notifier_, &QSocketNotifier::activated, [this] { OnReadyPaced(); });
  pace_.setSingleShot(true);
  pace_.setTimerType(Qt::PreciseTimer);
  pace_.setInterval(kPace);
  QObject::connect(&pace_, &QTimer::timeout, [this] { OnReadyPaced(); });
  deadlineTimer_.setSingleShot(true);
  QObject::connect(&deadlineTimer_, &QTimer::timeout, [this] { OnDeadline(); });
}

SocketLayer::~SocketLayer() {
  delete notifier_;
  worker_.Flush();
  close(wake_);
  close(epoll_);
}

SocketLayer::Registration* SocketLayer::Find(std::uint64_t id) {
  auto it = registrations_.find(id);
  return it == registrations_.end() ? nullptr : &it->second;
}

SocketLayer::Registration* SocketLayer::FindHandle(SOCKET s, std::uint64_t* id) {
  auto it = idOfHandle_.find(s);
  if (it == idOfHandle_.end()) return nullptr;
  if (id) *id = it->second;
  return Find(it->second);
}

SOCKET SocketLayer::Create(int family, int type, int protocol) {
  SOCKET s = ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
  if (s == 0) {  // 0 means "no socket" to the caller; move it out of the way
    SOCKET moved = fcntl(s, F_DUPFD_CLOEXEC, 1);
    ::close(s);
    s = moved;
  }
  if (s < 0) {
    WSASetLastError(WsaCodeFromErrno(errno));
    return INVALID_SOCKET;
  }
  // The socket joins the epoll set once its connect has started (SocketWorker).
  std::uint64_t id = nextId_++;
  Registration r;
  r.handle = s;
  registrations_.emplace(id, std::move(r));
  idOfHandle_[s] = id;
  return s;
}

int SocketLayer::Select(SOCKET s, QObject* window, unsigned message, long events) {
  Registration* r = FindHandle(s);
  if (!r) {
    WSASetLastError(WSAENOTSOCK);
    return SOCKET_ERROR;
  }
  r->window = window;
  r->message = message;
  r->events = events;
  return 0;
}

int SocketLayer::Connect(SOCKET s, const std::vector<SocketAddress>& addresses, ConnectPolicy policy,
                         bool moreToCome) {
  std::uint64_t id = 0;
  Registration* r = FindHandle(s, &id);
  if (!r) {
    WSASetLastError(WSAENOTSOCK);
    return SOCKET_ERROR;
  }
  switch (r->phase) {
    case Phase::kIdle: break;
    case Phase::kConnecting: WSASetLastError(WSAEALREADY); return SOCKET_ERROR;
    case Phase::kConnected: WSASetLastError(WSAEISCONN); return SOCKET_ERROR;
    case Phase::kDone: WSASetLastError(WSAEINVAL); return SOCKET_ERROR;
  }
  if (addresses.empty()) {
    WSASetLastError(WSAEINVAL);
    return SOCKET_ERROR;
  }
  r->phase = Phase::kConnecting;
  r->policy = policy;
  r->moreToCome = moreToCome && policy == ConnectPolicy::kFirst;
  PushDeadline(Clock::now() + EffectiveConnectTimeout(), id);
  if (policy == ConnectPolicy::kEvery) {
    for (const SocketAddress& address : addresses) {
      if (!StartAttempt(id, *r, address)) {
        Decide(id, *r, Attempt{-1, address}, r->lastError);
        break;
      }
    }
  } else {
    // A single address, the common case, allocates nothing more.
    r->untried.assign(addresses.rbegin(), addresses.rend() - 1);
    StartAttempt(id, *r, addresses.front());
    if (!r->untried.empty()) PushDeadline(r->lastAttemptAt + kAttemptDelay, id, r->attempts.size());
  }
  DeliverSoon();
  WSASetLastError(WSAEWOULDBLOCK);
  return SOCKET_ERROR;
}

void SocketLayer::ConnectMore(SOCKET s, const std::vector<SocketAddress>& addresses, bool last) {
  std::uint64_t id = 0;
  Registration* r = FindHandle(s, &id);
  if (!r || r->phase != Phase::kConnecting || r->policy != ConnectPolicy::kFirst) return;
  r->untried.insert(r->untried.begin(), addresses.rbegin(), addresses.rend());
  r->moreToCome = !last;
  const bool anyLive = std::any_of(r->attempts.begin(), r->attempts.end(), [](const Attempt& a) { return a.live; });
  if (!anyLive)
    StartNextAttempt(id, *r);
  else if (!addresses.empty())
    PushDeadline(std::max(Clock::now(), r->lastAttemptAt + kAttemptDelay), id, r->attempts.size());
  FailIfNothingLeft(id, *r);
  DeliverSoon();
}

// An outcome decided inside a caller's call is sent on the next turn of the loop, as
// every other is: never into the caller.
void SocketLayer::DeliverSoon() {
  if (!outbox_.empty()) deadlineTimer_.start(0);
}

// False, with the reason in lastError, when the address could not be tried.
bool SocketLayer::StartAttempt(std::uint64_t id, Registration& r, const SocketAddress& address) {
  int fd = r.handle;
  if (!r.attempts.empty()) {
    // The others of a race hold descriptors too: they stay within the probes' share.
    errno = EMFILE;
    fd = Held() < ProbeDescriptorWindow() ? ::socket(address.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)
                                          : -1;
    if (fd < 0) {
      r.lastError = WsaCodeFromErrno(errno);
      return false;
    }
    ++extraSockets_;
  }
  r.lastAttemptAt = Clock::now();
  r.attempts.push_back({fd, address});
  r.attempts.back().job = worker_.Connect(fd, DataOf(id, r.attempts.size() - 1), address);
  return true;
}

void SocketLayer::StartNextAttempt(std::uint64_t id, Registration& r) {
  while (!r.untried.empty()) {
    const SocketAddress address = r.untried.back();
    r.untried.pop_back();
    if (!StartAttempt(id, r, address)) continue;
    if (!r.untried.empty()) PushDeadline(r.lastAttemptAt + kAttemptDelay, id, r.attempts.size());
    return;
  }
}

void SocketLayer::FailIfNothingLeft(std::uint64_t id, Registration& r) {
  if (r.phase != Phase::kConnecting || r.moreToCome || !r.untried.empty()) return;
  if (std::any_of(r.attempts.begin(), r.attempts.end(), [](const Attempt& a) { return a.live; })) return;
  const Attempt& last = r.attempts.empty() ? Attempt{-1, {}} : r.attempts.back();
  Decide(id, r, last, r.lastError);
}

void SocketLayer::AttemptFailed(std::uint64_t id, Registration& r, std::size_t index, int error) {
  Attempt& attempt = r.attempts[index];
  attempt.live = false;
  r.lastError = error;
  if (r.policy == ConnectPolicy::kEvery) return Decide(id, r, attempt, error);
  if (!r.untried.empty()) StartNextAttempt(id, r);  // a failure does not wait out the delay
  if (std::any_of(r.attempts.begin(), r.attempts.end(), [](const Attempt& a) { return a.live; })) return;
  if (r.moreToCome || !r.untried.empty()) return;
  Decide(id, r, attempt, error);
}

void SocketLayer::AttemptConnected(std::uint64_t id, Registration& r, std::size_t index) {
  r.attempts[index].connected = true;
  const bool all = std::all_of(r.attempts.begin(), r.attempts.end(), [](const Attempt& a) { return a.connected; });
  if (r.policy == ConnectPolicy::kFirst || all) Decide(id, r, r.attempts[index], 0);
}

// Sends the outcome and gives up every other attempt still going.
void SocketLayer::Decide(std::uint64_t id, Registration& r, const Attempt& decider, int error) {
  r.phase = error == 0 ? Phase::kConnected : Phase::kDone;
  r.decidedBy = decider.address;
  r.untried.clear();
  r.moreToCome = false;
  for (Attempt& attempt : r.attempts)
    if (attempt.live && !attempt.connected) Drop(attempt, r.handle);
  outbox_.push_back({id, FD_CONNECT, error});
}

void SocketLayer::Drop(Attempt& attempt, SOCKET handle) {
  attempt.live = false;
  if (attempt.fd != handle) {
    --extraSockets_;
    worker_.Close(attempt.fd);
    attempt.fd = -1;
  } else {
    worker_.Abort(attempt.fd);  // the handle stays open: it is the caller's until closesocket
  }
}

int SocketLayer::Close(SOCKET s) {
  std::uint64_t id = 0;
  Registration* r = FindHandle(s, &id);
  if (!r) {
    WSASetLastError(WSAENOTSOCK);
    return SOCKET_ERROR;
  }
  // The worker leaves the set and closes after any connect still queued for it.
  for (Attempt& attempt : r->attempts) {
    if (attempt.fd == s || attempt.fd < 0) continue;
    --extraSockets_;
    worker_.Close(attempt.fd);
  }
  registrations_.erase(id);
  idOfHandle_.erase(s);
  worker_.Close(s);
  return 0;
}

std::optional<SocketAddress> SocketLayer::DecidedBy(SOCKET s) {
  const Registration* r = FindHandle(s);
  return r ? r->decidedBy : std::nullopt;
}

bool SocketLayer::IsConnectPending(SOCKET s) const {
  auto it = idOfHandle_.find(s);
  return it != idOfHandle_.end() && registrations_.at(it->second).phase == Phase::kConnecting;
}

// A look that found nothing leaves the notifier to wake the loop at the next event, so
// an outcome after a quiet spell is handled at once; one that found something rests it.
void SocketLayer::OnReadyPaced() {
  const bool found = OnReady() > 0;
  notifier_->setEnabled(!found);
  if (found) pace_.start();
}

int SocketLayer::OnReady() {
  epoll_event events[kEventsPerTurn];
  int n = epoll_wait(epoll_, events, kEventsPerTurn, 0);
  for (int i = 0; i < n; ++i) {
    if (events[i].data.u64 == kWakeId)
      TakeWorkerFailures();
    else
      OnEpollEvent(events[i].data.u64, events[i].events);
  }
  Deliver();
  return n;
}

void SocketLayer::TakeWorkerFailures() {
  std::uint64_t count;
  [[maybe_unused]] ssize_t n = read(wake_, &count, sizeof count);
  std::vector<std::pair<std::uint64_t, int>> failures;
  {
    std::lock_guard lock(failuresMutex_);
    failures.swap(workerFailures_);
  }
  for (auto [data, err] : failures) {
    Registration* r = Find(IdOf(data));
    const std::size_t index = AttemptOf(data);
    if (!r || r->phase != Phase::kConnecting || index >= r->attempts.size() || !r->attempts[index].live) continue;
    AttemptFailed(IdOf(data), *r, index, WsaCodeFromErrno(err));
  }
}

void SocketLayer::OnEpollEvent(std::uint64_t data, std::uint32_t events) {
  const std::uint64_t id = IdOf(data);
  const std::size_t index = AttemptOf(data);
  Registration* r = Find(id);
  if (!r || index >= r->attempts.size()) return;  // closed after this batch was read
  Attempt& attempt = r->attempts[index];
  if (!attempt.live) return;  // failed or given up: a late edge of it
  // Interest is edge-triggered: each change of the socket's state is reported once, so
  // nothing is armed again and a finished socket leaves the set by its close.
  constexpr std::uint32_t kHangUp = EPOLLRDHUP | EPOLLHUP | EPOLLERR;
  int err = 0;
  if (events != EPOLLOUT) {  // writable alone is a connect that succeeded
    socklen_t len = sizeof err;
    getsockopt(attempt.fd, SOL_SOCKET, SO_ERROR, &err, &len);
  }
  if (r->phase == Phase::kConnecting && !attempt.connected) {
    if (err == 0 && !(events & EPOLLOUT)) return;  // not answered yet: the answer is another edge
    if (err == 0 && IsConnectedToItself(attempt.fd)) err = ECONNREFUSED;
    if (err != 0) return AttemptFailed(id, *r, index, WsaCodeFromErrno(err));
    AttemptConnected(id, *r, index);
  }
  // One edge may carry the answer and the peer's hang-up together.
  if (r->phase != Phase::kConnected || !attempt.connected || !(events & kHangUp)) return;
  r->phase = Phase::kDone;
  outbox_.push_back({id, FD_CLOSE, WsaCodeFromErrno(err)});
}

void SocketLayer::PushDeadline(Clock::time_point when, std::uint64_t id, std::size_t attemptsBefore) {
  bool earliest = deadlines_.empty() || when < deadlines_.top().when;
  deadlines_.push({when, id, attemptsBefore});
  if (earliest) ArmDeadlineTimer();
}

// Whether the connect is really still waiting for its peer. Its deadline may pass
// while the answer is already on its way here (a busy machine, a short test timeout).
bool SocketLayer::StillUnanswered(const Registration& r) {
  for (const Attempt& attempt : r.attempts) {
    if (!attempt.live || attempt.connected) continue;
    tcp_info info{};
    socklen_t len = sizeof info;
    if (getsockopt(attempt.fd, IPPROTO_TCP, TCP_INFO, &info, &len) == 0 && info.tcpi_state != TCP_SYN_SENT)
      return false;
  }
  return true;
}

void SocketLayer::OnDeadline() {
  Clock::time_point now = Clock::now();
  std::vector<std::uint64_t> notStarted;
  while (!deadlines_.empty() && deadlines_.top().when <= now) {
    const Deadline deadline = deadlines_.top();
    deadlines_.pop();
    Registration* r = Find(deadline.id);
    if (!r || r->phase != Phase::kConnecting) continue;
    if (deadline.attemptsBefore > 0) {
      if (r->attempts.size() == deadline.attemptsBefore) StartNextAttempt(deadline.id, *r);
      FailIfNothingLeft(deadline.id, *r);
      continue;
    }
    if (!worker_.HasRun(r->attempts.front().job)) {
      notStarted.push_back(deadline.id);  // the time counts from the connect itself
      continue;
    }
    if (!StillUnanswered(*r)) continue;  // its outcome is queued for delivery
    // The first attempt still waiting is the one that timed out; with none waiting, the
    // addresses that were to come never did, and the last failure stands.
    const auto waiting =
        std::find_if(r->attempts.begin(), r->attempts.end(), [](const Attempt& a) { return a.live && !a.connected; });
    if (waiting == r->attempts.end()) {
      Decide(deadline.id, *r, r->attempts.back(), r->lastError);
    } else {
      r->lastError = WSAETIMEDOUT;
      Decide(deadline.id, *r, *waiting, WSAETIMEDOUT);
    }
  }
  for (std::uint64_t id : notStarted) PushDeadline(now + EffectiveConnectTimeout(), id);
  ArmDeadlineTimer();
  Deliver();
}

void SocketLayer::ArmDeadlineTimer() {
  if (deadlines_.empty()) {
    deadlineTimer_.stop();
    return;
  }
  auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadlines_.top().when - Clock::now());
  deadlineTimer_.start(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}

void SocketLayer::Deliver() {
  while (!outbox_.empty()) {
    Outcome outcome = outbox_.front();
    outbox_.pop_front();
    Registration* r = Find(outcome.id);
    if (!r || !r->window || !(r->events & outcome.event)) continue;
    SocketMessage message(r->message, r->handle, MakeSelectWord(outcome.event, outcome.error));
    QCoreApplication::sendEvent(r->window, &message);
  }
}

}  // namespace

SOCKET WSASocketA(int family, int type, int protocol) { return Layer().Create(family, type, protocol); }

int WSAAsyncSelect(SOCKET s, QObject* window, unsigned message, long events) {
  return Layer().Select(s, window, message, events);
}

int WSAConnect(SOCKET s, const SocketAddress& address) {
  return Layer().Connect(s, {address}, ConnectPolicy::kFirst, false);
}

int WSAConnectByList(SOCKET s, const std::vector<SocketAddress>& addresses, ConnectPolicy policy, bool moreToCome) {
  return Layer().Connect(s, addresses, policy, moreToCome);
}

void WSAConnectMore(SOCKET s, const std::vector<SocketAddress>& addresses, bool last) {
  Layer().ConnectMore(s, addresses, last);
}

std::optional<SocketAddress> ConnectDecidedBy(SOCKET s) { return Layer().DecidedBy(s); }

int closesocket(SOCKET s) { return Layer().Close(s); }

bool IsConnectPending(SOCKET s) { return Layer().IsConnectPending(s); }

void FlushSocketWork() { Layer().Flush(); }

std::size_t SocketsHeld() { return Layer().Held(); }

bool SocketClosesPending() { return Layer().ClosesPending(); }

std::chrono::milliseconds ConnectTimeout() { return connectTimeout; }

void SetConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout = timeout; }

void LimitConnectTimeout(std::chrono::milliseconds limit) { connectTimeoutLimit = limit; }

}  // namespace kelvanor
