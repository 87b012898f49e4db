// A thousand probe cycles over every kind of endpoint with the alarm on: every outcome
// arrives, and the run gives back every descriptor and thread it took.
#include <gtest/gtest.h>

#include "platform/alarm_audio.h"
#include "tests/common/process_counts.h"
#include "tests/common/soak_mix.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// Waits until sockets, alarms and the test's own peers have settled, then compares.
bool SettlesAt(int descriptors, int threads) {
  return WaitFor([&] {
    FlushSocketWork();
    return !IsSoundPlaying() && OpenDescriptors() == descriptors && LiveThreads() <= threads;
  });
}

TEST(Soak, ThousandCyclesDeliverEveryOutcomeAndLeakNothing) {
  auto view = std::make_unique<CKelvanorView>();
  view->Setting().soundType = 2;  // a missing file: the default sound, at every failure
  view->Setting().soundFile = "/nonexistent/alarm.wav";
  SoakMix mix(*view);
  ASSERT_TRUE(mix.Cycle());  // brings up the socket layer, resolver and audio device
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  FlushSocketWork();
  const int descriptors = OpenDescriptors();
  const int threads = LiveThreads();
  // Each cycle checks every outcome of its five endpoints.
  for (int cycle = 2; cycle <= 1000; ++cycle) ASSERT_TRUE(mix.Cycle()) << "cycle " << cycle;
  EXPECT_EQ(view->AlarmWorkers().Started(), 2000u);  // refused and silent, every cycle
  EXPECT_TRUE(SettlesAt(descriptors, threads)) << "descriptors " << descriptors << " -> "
                                               << OpenDescriptors() << ", threads " << threads
                                               << " -> " << LiveThreads();
}

}  // namespace
