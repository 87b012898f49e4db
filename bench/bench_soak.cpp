// Ten thousand probe cycles over every kind of endpoint with the alarm on: the outcomes
// that arrived, the time per cycle, and the descriptors and threads before and after.
#include <QApplication>
#include <chrono>
#include <cstdio>

#include "platform/alarm_audio.h"
#include "platform/gbk.h"
#include "tests/common/process_counts.h"
#include "tests/common/soak_mix.h"

using namespace kelvanor;
using namespace kelvanor::testing;

int main(int argc, char** argv) {
  constexpr int kCycles = 10000;
  QApplication app(argc, argv);
  auto view = std::make_unique<CKelvanorView>();
  view->Setting().soundType = 2;
  view->Setting().soundFile = "/nonexistent/alarm.wav";
  SoakMix mix(*view);
  mix.Cycle();  // brings up the socket layer, resolver and audio device
  WaitFor([&] { return view->Alarm().Idle() && !IsSoundPlaying(); });
  FlushSocketWork();
  const int descriptors = OpenDescriptors();
  const int threads = LiveThreads();

  int missing = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int cycle = 1; cycle < kCycles; ++cycle) {
    if (mix.Cycle()) continue;
    // The first few odd cycles, to tell which endpoint gave what.
    if (++missing <= 5) {
      std::fprintf(stderr, "cycle %d:", cycle);
      for (const IPInfo& e : view->Setting().ipList)
        std::fprintf(stderr, " [%s: %s]", e.remark.c_str(), GbkToUtf8(e.result).c_str());
      std::fprintf(stderr, "\n");
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  WaitFor([&] {
    FlushSocketWork();
    return view->Alarm().Idle() && !IsSoundPlaying() && OpenDescriptors() == descriptors && LiveThreads() <= threads;
  });

  std::printf("| figure (%d cycles, 5 endpoints of different kinds) | value |\n|---|---|\n", kCycles);
  std::printf("| cycles with an outcome missing or wrong | %d |\n", missing);
  std::printf("| connected / refused / timed out / host not found | %zu / %zu / %zu / %zu |\n",
              mix.connected, mix.refused, mix.timedOut, mix.unresolved);
  std::printf("| alarms requested | %zu |\n", view->Alarm().Requested());
  std::printf("| time per cycle (to the last outcome) | %.2f ms |\n", 1000 * seconds / (kCycles - 1));
  std::printf("| open descriptors before / after | %d / %d |\n", descriptors, OpenDescriptors());
  std::printf("| live threads before / after | %d / %d |\n", threads, LiveThreads());
  return 0;
}
