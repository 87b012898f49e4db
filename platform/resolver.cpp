#include "platform/resolver.h"

#include <ares.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/app_lifetime.h"
#include "platform/winsock.h"

namespace kelvanor {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds lookupTimeout = kLookupTimeout;

// A lost datagram is sent again after 1 s, then 2 s: within the lookup's time.
constexpr int kTryTimeoutMs = 1000;
constexpr int kTries = 3;

// c-ares reads a readable socket until it is empty: a name server that floods it would
// keep the UI thread there for as long as the flood lasts. Reads past this many in one
// turn of the loop report "would block"; the notifier brings the rest on the next turns.
constexpr int kReadsPerTurn = 16;

ResolveResult ResultOf(int status, const ares_addrinfo* info) {
  ResolveResult result;
  result.error = WsaCodeFromAres(status);
  if (status != ARES_SUCCESS) return result;
  for (const ares_addrinfo_node* node = info->nodes; node; node = node->ai_next)
    if (node->ai_family == AF_INET || node->ai_family == AF_INET6)
      result.addresses.push_back(SocketAddress::Of(node->ai_addr));
  if (result.addresses.empty())
    result.error = WSANO_DATA;
  else if (info->name)
    result.canonicalName = info->name;
  return result;
}

// Lives on the UI thread until the application ends. Each name's lookup has a c-ares
// channel of its own (a copy of one configured channel), so that it can be dropped alone:
// c-ares cannot cancel a single query. Answers are only noted where c-ares reports them;
// they are handed out, and lookups ended, on the next turn of the loop, in Settle, so no
// caller runs inside c-ares and nothing is destroyed under the notifier that fired.
class Resolver {
 public:
  Resolver() {
    ares_library_init(ARES_LIB_INIT_ALL);
    ares_options options{};
    options.timeout = kTryTimeoutMs;
    options.tries = kTries;
    // Without it this c-ares version retries a server failure until it reports a timeout.
    options.flags = ARES_FLAG_NOCHECKRESP;
    initStatus_ = ares_init_options(&configured_, &options, ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_FLAGS);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);  // a coarse one may fire early, then again
    QObject::connect(&timer_, &QTimer::timeout, [this] { Settle(); });
  }

  ~Resolver() {
    for (auto& [name, lookup] : lookups_) End(*lookup);
    if (initStatus_ == ARES_SUCCESS) ares_destroy(configured_);
    ares_library_cleanup();
  }

  ResolveId Start(const std::string& name, int family, ResolveDone done) {
    std::unique_ptr<Lookup>& lookup = lookups_[std::to_string(family) + ' ' + name];
    if (!lookup) lookup = Begin(name, family);
    const ResolveId id = nextId_++;
    lookup->waiters.push_back(id);
    waiters_.emplace(id, Waiter{std::move(done), lookup.get()});
    WakeBy(lookup->wake);
    return id;
  }

  // The lookup itself ends at the next Settle if nobody else waits for it by then: a
  // probe superseded while it waits is replaced by one that wants the same name.
  void Cancel(ResolveId id) {
    auto it = waiters_.find(id);
    if (it == waiters_.end()) return;
    Lookup& lookup = *it->second.lookup;
    std::erase(lookup.waiters, id);
    waiters_.erase(it);
    if (lookup.waiters.empty()) WakeBy(Clock::now());
  }

  void SetServer(const std::string& server) {
    if (initStatus_ == ARES_SUCCESS) ares_set_servers_ports_csv(configured_, server.c_str());
  }

  std::size_t InFlight() const { return lookups_.size(); }

 private:
  struct Lookup {
    ares_channel channel = nullptr;
    std::optional<ResolveResult> answer;
    Clock::time_point deadline;
    Clock::time_point wake;  // when this lookup next needs Settle
    std::vector<ResolveId> waiters;
    std::vector<std::pair<int, bool>> watched;  // (descriptor, for writing)
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers;
    int readsLeft = kReadsPerTurn;
  };
  struct Waiter {
    ResolveDone done;
    Lookup* lookup;
  };

  std::unique_ptr<Lookup> Begin(const std::string& name, int family) {
    auto lookup = std::make_unique<Lookup>();
    lookup->deadline = Clock::now() + lookupTimeout;
    int status = initStatus_ == ARES_SUCCESS ? ares_dup(&lookup->channel, configured_) : initStatus_;
    if (status != ARES_SUCCESS) {
      lookup->channel = nullptr;
      lookup->answer = ResolveResult{WsaCodeFromAres(status), {}, {}};
    } else {
      ares_set_socket_functions(lookup->channel, &kBoundedReads, lookup.get());
      ares_addrinfo_hints hints{};
      hints.ai_flags = ARES_AI_CANONNAME;
      hints.ai_family = family;
      ares_getaddrinfo(lookup->channel, name.c_str(), nullptr, &hints, &Resolver::OnAnswer, lookup.get());
    }
    Watch(*lookup);
    return lookup;
  }

  static void OnAnswer(void* arg, int status, int, ares_addrinfo* info) {
    if (status != ARES_EDESTRUCTION) static_cast<Lookup*>(arg)->answer = ResultOf(status, info);
    if (info) ares_freeaddrinfo(info);
  }

  static ares_ssize_t BoundedRead(ares_socket_t fd, void* data, std::size_t size, int flags, sockaddr* from,
                                  ares_socklen_t* fromLen, void* lookup) {
    if (static_cast<Lookup*>(lookup)->readsLeft-- <= 0) {
      errno = EAGAIN;
      return -1;
    }
    return recvfrom(fd, data, size, flags, from, fromLen);
  }
  static constexpr ares_socket_functions kBoundedReads{
      [](int domain, int type, int protocol, void*) -> ares_socket_t {
        return socket(domain, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
      },
      [](ares_socket_t fd, void*) { return close(fd); },
      [](ares_socket_t fd, const sockaddr* to, ares_socklen_t len, void*) { return connect(fd, to, len); },
      &Resolver::BoundedRead,
      [](ares_socket_t fd, const iovec* parts, int count, void*) -> ares_ssize_t { return writev(fd, parts, count); },
  };

  // Follows the sockets c-ares uses for this lookup and when it next wants to retry.
  void Watch(Lookup& lookup) {
    const Clock::time_point now = Clock::now();
    if (lookup.answer || !lookup.channel) {
      lookup.wake = now;
      return;
    }
    ares_socket_t sockets[ARES_GETSOCK_MAXNUM];
    const int bits = ares_getsock(lookup.channel, sockets, ARES_GETSOCK_MAXNUM);
    std::vector<std::pair<int, bool>> wanted;
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
      if (ARES_GETSOCK_READABLE(bits, i)) wanted.emplace_back(sockets[i], false);
      if (ARES_GETSOCK_WRITABLE(bits, i)) wanted.emplace_back(sockets[i], true);
    }
    if (wanted != lookup.watched) {
      lookup.notifiers.clear();
      for (const auto& socket : wanted) {
        const int fd = socket.first;
        const bool forWriting = socket.second;
        auto notifier = std::make_unique<QSocketNotifier>(
            fd, forWriting ? QSocketNotifier::Write : QSocketNotifier::Read);
        Lookup* l = &lookup;
        QObject::connect(notifier.get(), &QSocketNotifier::activated,
                         [this, l, fd, forWriting] { OnSocket(*l, fd, forWriting); });
        lookup.notifiers.push_back(std::move(notifier));
      }
      lookup.watched = std::move(wanted);
    }
    timeval limit{}, retry{};
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(lookup.deadline - now);
    limit.tv_sec = std::max<long>(0, left.count() / 1000000);
    limit.tv_usec = std::max<long>(0, left.count() % 1000000);
    const timeval* wait = ares_timeout(lookup.channel, &limit, &retry);
    lookup.wake = now + std::chrono::seconds(wait->tv_sec) + std::chrono::microseconds(wait->tv_usec);
  }

  void OnSocket(Lookup& lookup, int fd, bool forWriting) {
    lookup.readsLeft = kReadsPerTurn;
    ares_process_fd(lookup.channel, forWriting ? ARES_SOCKET_BAD : fd, forWriting ? fd : ARES_SOCKET_BAD);
    // c-ares may have closed sockets, and the descriptors may be reused before Settle
    // follows the sockets afresh: nothing is watched until then.
    for (auto& notifier : lookup.notifiers) notifier->setEnabled(false);
    lookup.watched.clear();
    lookup.wake = Clock::now();
    WakeBy(lookup.wake);
  }

  void WakeBy(Clock::time_point when) {
    if (timer_.isActive() && wakeAt_ <= when) return;
    wakeAt_ = when;
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
    timer_.start(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
  }

  void Settle() {
    const Clock::time_point now = Clock::now();
    std::vector<std::unique_ptr<Lookup>> ended;
    for (auto it = lookups_.begin(); it != lookups_.end();) {
      Lookup& lookup = *it->second;
      if (lookup.wake <= now && !lookup.answer && lookup.channel) {
        ares_process_fd(lookup.channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);  // c-ares' retries
        Watch(lookup);
      }
      if (!lookup.answer && now >= lookup.deadline) lookup.answer = ResolveResult{WSATRY_AGAIN, {}, {}};
      if (lookup.answer || lookup.waiters.empty()) {
        ended.push_back(std::move(it->second));
        it = lookups_.erase(it);
      } else {
        ++it;
      }
    }
    for (auto& lookup : ended) End(*lookup);
    Rearm();
    // Callers may run nested event loops (an error box) that start, cancel and settle
    // other lookups: these lookups are out of reach already, and each waiter is looked
    // up again in case an earlier caller cancelled it.
    for (auto& lookup : ended) {
      const std::vector<ResolveId> ids = std::move(lookup->waiters);
      for (ResolveId id : ids) {
        auto it = waiters_.find(id);
        if (it == waiters_.end()) continue;
        ResolveDone done = std::move(it->second.done);
        waiters_.erase(it);
        done(*lookup->answer);
      }
    }
  }

  void Rearm() {
    timer_.stop();
    for (auto& [name, lookup] : lookups_) WakeBy(std::min(lookup->wake, lookup->deadline));
  }

  // Drops the lookup's queries and closes its sockets.
  static void End(Lookup& lookup) {
    lookup.notifiers.clear();
    if (lookup.channel) ares_destroy(lookup.channel);
    lookup.channel = nullptr;
  }

  int initStatus_ = ARES_SUCCESS;
  ares_channel configured_ = nullptr;  // the system's configuration, copied for each lookup
  std::unordered_map<std::string, std::unique_ptr<Lookup>> lookups_;  // by family and name
  std::unordered_map<ResolveId, Waiter> waiters_;
  ResolveId nextId_ = 1;
  QTimer timer_;
  Clock::time_point wakeAt_;
};

}  // namespace

ResolveId ResolveHostAsync(const std::string& name, int family, ResolveDone done) {
  return AppLifetime<Resolver>::Get().Start(name, family, std::move(done));
}

void CancelResolve(ResolveId id) {
  if (Resolver* resolver = AppLifetime<Resolver>::IfMade()) resolver->Cancel(id);
}

std::chrono::milliseconds LookupTimeout() { return lookupTimeout; }

void SetLookupTimeout(std::chrono::milliseconds timeout) { lookupTimeout = timeout; }

void SetNameServer(const std::string& server) { AppLifetime<Resolver>::Get().SetServer(server); }

std::size_t LookupsInFlight() {
  Resolver* resolver = AppLifetime<Resolver>::IfMade();
  return resolver ? resolver->InFlight() : 0;
}

}  // namespace kelvanor
