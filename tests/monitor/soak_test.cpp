// A thousand probe cycles over every kind of endpoint with the alarm on: every outcome
// arrives, and the run gives back every descriptor and thread it took.
#include "platform/alarm_audio.h"
#include "tests/common/process_counts.h"
#include "tests/common/soak_mix.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

using Soak = ViewTest;

TEST_F(Soak, ThousandCyclesDeliverEveryOutcomeAndLeakNothing) {
  SoakMix mix(*view);
  ASSERT_TRUE(mix.Cycle()) << mix.Described();  // brings up the socket layer, resolver and audio device
  ASSERT_TRUE(WaitFor([&] { return AlarmsDone(); }));
  FlushSocketWork();
  const int descriptors = OpenDescriptors(), threads = LiveThreads();
  // Each cycle checks the outcome of each of its five endpoints.
  for (int cycle = 2; cycle <= 1000; ++cycle) ASSERT_TRUE(mix.Cycle()) << "cycle " << cycle << ": " << mix.Described();
  EXPECT_EQ(Alarms(), 2000u);  // refused and silent, every cycle
  // Sockets closed, alarms quiet. At most as many as at the start: a peer of the test may
  // still have held a connection when the start was counted, on a loaded machine.
  EXPECT_TRUE(WaitFor([&] {
    FlushSocketWork();
    return AlarmsDone() && OpenDescriptors() <= descriptors && LiveThreads() <= threads;
  })) << "descriptors " << descriptors << " -> " << OpenDescriptors() << ", threads " << LiveThreads();
}
