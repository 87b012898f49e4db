// Ten thousand endpoints in one probe cycle, half listening and half refused, with the
// open-file limit raised as at start-up: every outcome delivered, the time to the last
// one, the longest UI-thread event, the start-failure boxes and the descriptors held.
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/timed_application.h"
#include "monitor/kelvanor_view.h"
#include "platform/file_limit.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/common/process_counts.h"

using namespace kelvanor;
using namespace kelvanor::testing;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  constexpr int kEndpoints = 10000;
  constexpr int kListeners = 16;  // backlogs with room for every cycle's connections
  constexpr int kCycles = 3;
  const long limit = RaiseOpenFileLimit();
  TimedApplication app(argc, argv);
  MessageBoxRecorder boxes;

  std::vector<std::unique_ptr<TcpListener>> listeners;
  for (int i = 0; i < kListeners; ++i) listeners.push_back(std::make_unique<TcpListener>(4096));
  const int refused = RefusedPort();
  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  const int baseline = OpenDescriptors();
  auto view = std::make_unique<CKelvanorView>();
  view->Setting().soundType = 0;  // five thousand alarm workers per cycle would measure threads
  for (int i = 0; i < kEndpoints; ++i)
    view->Setting().Append(IPInfo("127.0.0.1", i % 2 ? listeners[i / 2 % kListeners]->port() : refused, ""));

  std::printf("| cycle of %d endpoints (open-file limit %ld) | time to last outcome | longest UI event | "
              "delivered (connected) | Error. boxes | descriptors held |\n|---|---|---|---|---|---|\n",
              kEndpoints, limit);
  for (int cycle = 1; cycle <= kCycles; ++cycle) {
    app.longest = {};
    Clock::time_point start;
    QTimer::singleShot(0, view.get(), [&] {
      start = Clock::now();
      view->RefreshStatus();
    });
    WaitFor([&] {
      if (start == Clock::time_point{} || view->IsWalking()) return false;
      return std::none_of(view->Setting().ipList.begin(), view->Setting().ipList.end(),
                          [](const IPInfo& e) { return e.state == Connecting; });
    }, 60000);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    int delivered = 0, connected = 0;
    for (const IPInfo& e : view->Setting().ipList) {
      delivered += e.state != Connecting;
      connected += e.state == Connected;
    }
    FlushSocketWork();
    std::printf("| %d | %.1f ms | %.1f ms | %d (%d) | %zu | %d |\n", cycle, ms,
                std::chrono::duration<double, std::milli>(app.longest).count(), delivered, connected,
                boxes.calls.size(), OpenDescriptors() - baseline);
  }
  view.reset();
  FlushSocketWork();
  std::printf("\nDescriptors above the baseline once the view is gone: %d\n", OpenDescriptors() - baseline);
  return 0;
}
