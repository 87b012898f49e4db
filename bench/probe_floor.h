#pragma once
// The floor of a probe cycle: the same connects made with nothing but socket, connect,
// epoll and close on one thread, the least the kernel needs for the program's cycle.
#include <sys/epoll.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "bench/clocks.h"
#include "tests/common/loopback.h"

namespace kelvanor::bench {

class ProbeFloor {
 public:
  explicit ProbeFloor(std::vector<int> ports) : ports_(std::move(ports)), held_(ports_.size(), -1) {}
  ~ProbeFloor() {
    for (int s : held_)
      if (s >= 0) close(s);
    close(epoll_);
  }
  ProbeFloor(const ProbeFloor&) = delete;

  struct Cycle {
    double wallMs, cpuMs;  // cpu: the whole process's
  };

  // As the program does it: each endpoint's previous socket is closed just before its
  // new one connects, inside the timing, and the new ones stay open until the next cycle.
  Cycle WithCloses() {
    return Timed([this] {
      for (std::size_t i = 0; i < ports_.size(); ++i) {
        if (held_[i] >= 0) close(held_[i]);
        held_[i] = Connect(ports_[i]);
      }
      AwaitOutcomes();
    });
  }

  // The connects alone: their sockets are closed once the timing has stopped.
  Cycle WithoutCloses() {
    std::vector<int> sockets;
    Cycle cycle = Timed([&] {
      for (int port : ports_) sockets.push_back(Connect(port));
      AwaitOutcomes();
    });
    for (int s : sockets) close(s);
    return cycle;
  }

 private:
  template <typename Work>
  static Cycle Timed(Work work) {
    const auto wall = std::chrono::steady_clock::now();
    const auto cpu = CpuTime(CLOCK_PROCESS_CPUTIME_ID);
    work();
    return {Ms(std::chrono::steady_clock::now() - wall), Ms(CpuTime(CLOCK_PROCESS_CPUTIME_ID) - cpu)};
  }

  int Connect(int port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_in a = testing::Loopback(port);
    connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    epoll_event ev{};
    ev.events = EPOLLOUT;
    ev.data.fd = s;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, s, &ev);
    return s;
  }

  // Every connect's outcome read, and its socket out of the set, as the program does.
  void AwaitOutcomes() {
    epoll_event events[256];
    for (std::size_t done = 0; done < ports_.size();) {
      const int n = epoll_wait(epoll_, events, 256, 1000);
      for (int i = 0; i < n; ++i) {
        int err = 0;
        socklen_t len = sizeof err;
        getsockopt(events[i].data.fd, SOL_SOCKET, SO_ERROR, &err, &len);
        epoll_ctl(epoll_, EPOLL_CTL_DEL, events[i].data.fd, nullptr);
        ++done;
      }
    }
  }

  std::vector<int> ports_;
  std::vector<int> held_;  // the last WithCloses cycle's sockets
  int epoll_ = epoll_create1(EPOLL_CLOEXEC);
};

}  // namespace kelvanor::bench
