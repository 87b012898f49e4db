#pragma once
// Real loopback endpoints for probe tests, and a way to wait on the event loop.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/winsock.h"

namespace kelvanor::testing {

// Runs the event loop until `done` holds; false if it still does not after `ms`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

// Runs the event loop for `ms`, to show that something does not happen.
inline void Pump(int ms) { WaitFor([] { return false; }, ms); }

inline sockaddr_in Loopback(int port) {
  return sockaddr_in{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
}

// 127.0.0.1 or ::1 with a port.
inline SocketAddress LoopbackAddress(int family, int port) {
  SocketAddress address = *LiteralAddress(family == AF_INET6 ? "::1" : "127.0.0.1");
  address.SetPort(static_cast<std::uint16_t>(port));
  return address;
}

// Whether ::1 can be listened on: a machine may run with IPv6 turned off.
inline bool HasIpv6Loopback() {
  const int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const SocketAddress any = LoopbackAddress(AF_INET6, 0);
  const bool bound = fd >= 0 && bind(fd, any.Get(), any.length) == 0;
  if (fd >= 0) close(fd);
  return bound;
}

// A listening socket on 127.0.0.1 (or ::1) that never accepts: connects complete in its
// queue. A port given is taken again even just after an earlier listener on it closed.
class TcpListener {
 public:
  explicit TcpListener(int backlog = 64, int port = 0, int family = AF_INET)
      : fd_(socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    SocketAddress a = LoopbackAddress(family, port);
    bind(fd_, a.Get(), a.length);
    listen(fd_, backlog);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a.storage), &a.length);
    port_ = ntohs(reinterpret_cast<sockaddr_in&>(a.storage).sin_port);  // the same place in both families
  }
  ~TcpListener() { close(fd_); }
  TcpListener(const TcpListener&) = delete;
  int fd() const { return fd_; }
  int port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

// A port on 127.0.0.1 that nothing listens on: connects to it are refused.
inline int RefusedPort() { return TcpListener().port(); }  // closed again on return

// Accepts every connection on the event loop, counting them, and closes it at once or
// holds it until its peer has closed it (so that the queue never fills however many
// cycles run).
class Acceptor {
 public:
  enum class Then { kClose, kHold };
  explicit Acceptor(Then then) : notifier_(listener_.fd(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this, then] {
      const int c = accept(listener_.fd(), nullptr, nullptr);
      if (c < 0) return;
      ++accepted_;
      if (then == Then::kHold)
        Hold(c);
      else
        close(c);
    });
  }
  int port() const { return listener_.port(); }
  int accepted() const { return accepted_; }

 private:
  void Hold(int c) {
    auto* peer = held_.emplace_back(std::make_unique<QSocketNotifier>(c, QSocketNotifier::Read)).get();
    QObject::connect(peer, &QSocketNotifier::activated, [this, c, peer] {
      char byte;
      if (recv(c, &byte, 1, MSG_DONTWAIT) > 0) return;
      std::erase_if(held_, [peer](const auto& p) { return p.get() == peer; });
      close(c);
    });
  }

  TcpListener listener_;
  QSocketNotifier notifier_;
  std::deque<std::unique_ptr<QSocketNotifier>> held_;
  int accepted_ = 0;
};

// A listener with backlog 0 whose queue is already full: further connection requests
// are dropped, so a connect to it stays pending until somebody gives up.
class SilentEndpoint {
 public:
  explicit SilentEndpoint(int family = AF_INET)
      : listener_(0, 0, family), filler_(socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const SocketAddress a = LoopbackAddress(family, listener_.port());
    connect(filler_, a.Get(), a.length);  // completes: fills the queue
  }
  ~SilentEndpoint() { close(filler_); }
  int port() const { return listener_.port(); }

 private:
  TcpListener listener_;
  int filler_;
};

// Silent endpoints answer within a test's patience while it lives.
class ShortConnectTimeout {
 public:
  explicit ShortConnectTimeout(std::chrono::milliseconds t) { SetConnectTimeout(t); }
  ~ShortConnectTimeout() { SetConnectTimeout(kWindowsConnectTimeout); }
};

inline bool IsOpenDescriptor(int fd) { return fcntl(fd, F_GETFD) != -1; }

}  // namespace kelvanor::testing
