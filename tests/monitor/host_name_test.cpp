// Names are looked up off the UI thread. Every name here is refused by the resolver
// library itself, without a query to any name server.
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using HostName = ViewTest;

TEST_F(HostName, UnresolvableNamesShowTheErrorBoxStartNoConnectAndTheUiThreadNeverWaits) {
  const std::string names[] = {TooLongHostName(), "", "a..b", std::string(64, 'x') + ".invalid"};
  for (const std::string& name : names) Add(name, 80);
  view->RefreshStatus();
  EXPECT_TRUE(boxes.calls.empty());  // the answers come later, on the event loop
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_EQ(boxes.calls.size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(boxes.calls[i].text, kHostNotFound) << i;
    EXPECT_EQ(Entry(i).state, Connecting) << i;
    EXPECT_EQ(Entry(i).socket->errorText, kHostNotFound) << i;
    EXPECT_FALSE(IsConnectPending(Entry(i).socket->handle)) << i;
  }
  EXPECT_EQ(Alarms(), 0u);
}

TEST_F(HostName, FailureRepeatingWhileItsBoxIsOpenOpensNoSecondBox) {
  Add(TooLongHostName(), 80);
  int nested = 0;
  {
    MessageBoxRecorder recorder([&] {
      // A timer tick inside the modal loop: the next cycle fails the same way.
      ++nested;
      view->RefreshStatus();
      ASSERT_TRUE(WaitFor([&] { return !Entry(0).socket->AwaitingOutcome(); }));
    });
    view->RefreshStatus();
    ASSERT_TRUE(WaitFor([&] { return !recorder.calls.empty(); }));
    Pump(50);
    EXPECT_EQ(recorder.calls.size(), 1u);
  }
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(Entry(0).socket->errorText, kHostNotFound);  // kept in the probe
}

TEST_F(HostName, SupersededLookupStillReportsAndIsFreed) {
  Add(TooLongHostName(), 80);
  view->RefreshStatus();
  view->RefreshStatus();  // before the first lookup has answered
  ASSERT_TRUE(WaitForOutcomes());
  EXPECT_GE(boxes.calls.size(), 1u);
  EXPECT_TRUE(view->Setting().abandonedProbes.empty());
}

}  // namespace
