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
#include <cerrno>
#include <deque>
#include <mutex>
#include <queue>
#include <unordered_map>
#include <vector>

#include "platform/app_lifetime.h"
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
  int Connect(SOCKET s, const sockaddr_in& address);
  int Close(SOCKET s);
  bool IsConnectPending(SOCKET s) const;
  void Flush() { worker_.Flush(); }
  std::size_t Held() const { return registrations_.size() + worker_.ClosesPending(); }
  bool ClosesPending() const { return worker_.ClosesPending() > 0; }

 private:
  enum class Phase { kIdle, kConnecting, kConnected, kDone };
  struct Registration {
    SOCKET handle;
    QPointer<QObject> window;
    unsigned message = 0;
    long events = 0;
    Phase phase = Phase::kIdle;
    std::uint64_t connectJob = 0;  // the worker job that makes the connect
  };
  struct Outcome {
    std::uint64_t id;
    long event;
    int error;
  };
  struct Deadline {
    Clock::time_point when;
    std::uint64_t id;
    bool operator>(const Deadline& other) const { return when > other.when; }
  };

  Registration* Find(std::uint64_t id);
  Registration* FindHandle(SOCKET s, std::uint64_t* id = nullptr);
  void OnReadyPaced();
  int OnReady();
  void TakeWorkerFailures();
  void OnEpollEvent(std::uint64_t id, std::uint32_t events);
  void OnDeadline();
  void PushDeadline(Clock::time_point when, std::uint64_t id);
  bool StillUnanswered(const Registration& r);
  void ArmDeadlineTimer();
  void Deliver();

  int epoll_ = -1;
  int wake_ = -1;
  std::uint64_t nextId_ = 1;
  std::unordered_map<std::uint64_t, Registration> registrations_;
  std::unordered_map<SOCKET, std::uint64_t> idOfHandle_;
  std::deque<Outcome> outbox_;
  std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
  QTimer deadlineTimer_;
  QTimer pace_;  // runs while the notifier rests after a look that found something
  std::mutex failuresMutex_;
  std::vector<std::pair<std::uint64_t, int>> workerFailures_;  // (id, errno)
  QSocketNotifier* notifier_ = nullptr;
  SocketWorker worker_;
};

SocketLayer& Layer() { return AppLifetime<SocketLayer>::Get(); }

SocketLayer::SocketLayer()
    : epoll_(epoll_create1(EPOLL_CLOEXEC)),
      wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      worker_(epoll_, [this](std::uint64_t id, int err) {
        {
          std::lock_guard lock(failuresMutex_);
          workerFailures_.emplace_back(id, err);
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
  registrations_.emplace(id, Registration{s, nullptr, 0, 0, Phase::kIdle});
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

int SocketLayer::Connect(SOCKET s, const sockaddr_in& address) {
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
  r->phase = Phase::kConnecting;
  Clock::time_point when = Clock::now() + EffectiveConnectTimeout();
  PushDeadline(when, id);
  r->connectJob = worker_.Connect(s, id, address);
  WSASetLastError(WSAEWOULDBLOCK);
  return SOCKET_ERROR;
}

int SocketLayer::Close(SOCKET s) {
  std::uint64_t id = 0;
  Registration* r = FindHandle(s, &id);
  if (!r) {
    WSASetLastError(WSAENOTSOCK);
    return SOCKET_ERROR;
  }
  // The worker leaves the set and closes after any connect still queued for it.
  registrations_.erase(id);
  idOfHandle_.erase(s);
  worker_.Close(s);
  return 0;
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
  for (auto [id, err] : failures) {
    Registration* r = Find(id);
    if (!r || r->phase != Phase::kConnecting) continue;
    r->phase = Phase::kDone;
    outbox_.push_back({id, FD_CONNECT, WsaCodeFromErrno(err)});
  }
}

void SocketLayer::OnEpollEvent(std::uint64_t id, std::uint32_t events) {
  Registration* r = Find(id);
  if (!r) return;  // closed after this batch was read
  // Interest is edge-triggered: each change of the socket's state is reported once, so
  // nothing is armed again and a finished socket leaves the set by its close.
  constexpr std::uint32_t kHangUp = EPOLLRDHUP | EPOLLHUP | EPOLLERR;
  int err = 0;
  if (events != EPOLLOUT) {  // writable alone is a connect that succeeded
    socklen_t len = sizeof err;
    getsockopt(r->handle, SOL_SOCKET, SO_ERROR, &err, &len);
  }
  switch (r->phase) {
    case Phase::kConnecting:
      if (err == 0 && !(events & EPOLLOUT)) return;  // not answered yet: the answer is another edge
      if (err == 0 && IsConnectedToItself(r->handle)) err = ECONNREFUSED;
      outbox_.push_back({id, FD_CONNECT, WsaCodeFromErrno(err)});
      r->phase = err == 0 ? Phase::kConnected : Phase::kDone;
      if (err != 0) break;
      [[fallthrough]];  // one edge may carry the answer and the peer's hang-up together
    case Phase::kConnected:
      if (!(events & kHangUp)) break;  // room to write, no hang-up
      r->phase = Phase::kDone;
      outbox_.push_back({id, FD_CLOSE, WsaCodeFromErrno(err)});
      break;
    case Phase::kIdle:
    case Phase::kDone:
      break;  // a connect that started after its deadline had passed
  }
}

void SocketLayer::PushDeadline(Clock::time_point when, std::uint64_t id) {
  bool earliest = deadlines_.empty() || when < deadlines_.top().when;
  deadlines_.push({when, id});
  if (earliest) ArmDeadlineTimer();
}

// Whether the connect is really still waiting for its peer. Its deadline may pass
// while the answer is already on its way here (a busy machine, a short test timeout),
// and the connect may not even have been made yet by the worker.
bool SocketLayer::StillUnanswered(const Registration& r) {
  tcp_info info{};
  socklen_t len = sizeof info;
  if (getsockopt(r.handle, IPPROTO_TCP, TCP_INFO, &info, &len) != 0) return true;
  return info.tcpi_state == TCP_SYN_SENT;
}

void SocketLayer::OnDeadline() {
  Clock::time_point now = Clock::now();
  std::vector<std::uint64_t> notStarted;
  while (!deadlines_.empty() && deadlines_.top().when <= now) {
    std::uint64_t id = deadlines_.top().id;
    deadlines_.pop();
    Registration* r = Find(id);
    if (!r || r->phase != Phase::kConnecting) continue;
    if (!worker_.HasRun(r->connectJob)) {
      notStarted.push_back(id);  // the time counts from the connect itself
      continue;
    }
    if (!StillUnanswered(*r)) continue;  // its outcome is queued for delivery
    r->phase = Phase::kDone;
    worker_.Abort(r->handle);
    outbox_.push_back({id, FD_CONNECT, WSAETIMEDOUT});
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

int WSAConnect(SOCKET s, const sockaddr_in& address) { return Layer().Connect(s, address); }

int closesocket(SOCKET s) { return Layer().Close(s); }

bool IsConnectPending(SOCKET s) { return Layer().IsConnectPending(s); }

void FlushSocketWork() { Layer().Flush(); }

std::size_t SocketsHeld() { return Layer().Held(); }

bool SocketClosesPending() { return Layer().ClosesPending(); }

std::chrono::milliseconds ConnectTimeout() { return connectTimeout; }

void SetConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout = timeout; }

void LimitConnectTimeout(std::chrono::milliseconds limit) { connectTimeoutLimit = limit; }

}  // namespace kelvanor
