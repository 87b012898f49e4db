// One probe cycle over 2,000 loopback endpoints, half of them listening on a few ports
// and half refused: the time from RefreshStatus to the last outcome handled and the
// longest single UI-thread event, against the same connects made by a plain epoll loop
// in the same run (the floor). Prints a markdown table.
#include <dirent.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/timed_application.h"
#include "monitor/kelvanor_view.h"
#include "platform/file_limit.h"
#include "tests/common/loopback.h"

namespace {

using namespace kelvanor;
using Clock = std::chrono::steady_clock;

constexpr int kEndpoints = 2000;
constexpr int kListeningPorts = 4;
constexpr int kCycles = 7;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int OpenDescriptors() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++count;
    closedir(d);
  }
  return count - 3;  // ".", ".." and the directory itself
}

// The same connects with nothing but socket, connect, epoll and close.
Clock::duration Floor(const std::vector<int>& ports) {
  Clock::time_point start = Clock::now();
  int ep = epoll_create1(0);
  std::vector<int> fds;
  for (int port : ports) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in a = testing::Loopback(port);
    connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    epoll_event ev{};
    ev.events = EPOLLOUT;
    ev.data.fd = s;
    epoll_ctl(ep, EPOLL_CTL_ADD, s, &ev);
    fds.push_back(s);
  }
  std::size_t done = 0;
  epoll_event events[256];
  while (done < fds.size()) {
    int n = epoll_wait(ep, events, 256, 1000);
    for (int i = 0; i < n; ++i) {
      int err = 0;
      socklen_t len = sizeof err;
      getsockopt(events[i].data.fd, SOL_SOCKET, SO_ERROR, &err, &len);
      epoll_ctl(ep, EPOLL_CTL_DEL, events[i].data.fd, nullptr);
      ++done;
    }
  }
  Clock::duration elapsed = Clock::now() - start;
  for (int s : fds) close(s);
  close(ep);
  return elapsed;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  RaiseOpenFileLimit();
  TimedApplication app(argc, argv);

  std::vector<std::unique_ptr<testing::TcpListener>> listeners;
  for (int i = 0; i < kListeningPorts; ++i) listeners.push_back(std::make_unique<testing::TcpListener>(4096));
  const int refused = testing::RefusedPort();
  std::vector<int> ports;
  for (int i = 0; i < kEndpoints; ++i)
    ports.push_back(i % 2 ? listeners[i / 2 % kListeningPorts]->port() : refused);

  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  const int baseline = OpenDescriptors();
  auto view = std::make_unique<CKelvanorView>();
  view->Setting().soundType = 0;  // a thousand alarm workers per cycle would measure threads
  for (int port : ports) view->Setting().Append(IPInfo("127.0.0.1", port, ""));

  std::vector<double> cycleMs, floorMs, stallMs;
  int delivered = 0, connected = 0, minDescriptors = 1 << 30, maxDescriptors = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    floorMs.push_back(Ms(Floor(ports)));
    app.longest = {};
    Clock::time_point start;
    QTimer::singleShot(0, view.get(), [&] {
      start = Clock::now();
      view->RefreshStatus();
    });
    auto finished = [&] {
      if (view->IsWalking()) return false;
      for (const IPInfo& e : view->Setting().ipList)
        if (e.state == Connecting) return false;
      return start != Clock::time_point{};
    };
    bool all = testing::WaitFor(finished, 30000);
    cycleMs.push_back(Ms(Clock::now() - start));
    stallMs.push_back(Ms(app.longest));
    if (!all) std::fprintf(stderr, "cycle %d: not every outcome arrived\n", cycle);
    delivered = 0;
    connected = 0;
    for (const IPInfo& e : view->Setting().ipList) {
      delivered += e.state != Connecting;
      connected += e.state == Connected;
    }
    FlushSocketWork();
    // The previous cycle's probes are closed by now: one descriptor per endpoint.
    minDescriptors = std::min(minDescriptors, OpenDescriptors() - baseline);
    maxDescriptors = std::max(maxDescriptors, OpenDescriptors() - baseline);
  }
  view.reset();
  FlushSocketWork();
  const int after = OpenDescriptors() - baseline;

  double ratio = Median(cycleMs) / Median(floorMs);
  std::printf("| figure (%d endpoints, %d cycles) | value | target |\n|---|---|---|\n", kEndpoints, kCycles);
  std::printf("| cycle, RefreshStatus to last outcome (median / max) | %.1f / %.1f ms | |\n", Median(cycleMs),
              *std::max_element(cycleMs.begin(), cycleMs.end()));
  std::printf("| floor, plain epoll loop (median) | %.1f ms | |\n", Median(floorMs));
  std::printf("| ratio to the floor (medians) | %.2f | <= 2.0 |\n", ratio);
  std::printf("| longest UI-thread event (median / max over cycles) | %.1f / %.1f ms | < 16 ms |\n",
              Median(stallMs), *std::max_element(stallMs.begin(), stallMs.end()));
  std::printf("| outcomes delivered in the last cycle (connected) | %d (%d) | %d |\n", delivered, connected,
              kEndpoints);
  std::printf("| open descriptors above baseline after each cycle (min / max) | %d / %d | %d, one per endpoint |\n",
              minDescriptors, maxDescriptors, kEndpoints);
  std::printf("| open descriptors above baseline after the view is gone | %d | 0 |\n", after);
  return 0;
}
