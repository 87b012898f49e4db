// Names are looked up off the UI thread. Every name here is refused by the resolver
// library itself, without a query to any name server.
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

using HostName = ViewTest;

TEST_F(HostName, UiThreadNeverWaitsForTheResolverAndSupersededLookupStillReportsAndIsFreed) {
  const std::string names[] = {TooLongHostName(), "", "a..b", std::string(64, 'x') + ".invalid"};
  for (const std::string& name : names) Add(name, 80);
  view->RefreshStatus();
  EXPECT_TRUE(boxes.calls.empty());  // the UI thread never waits: answers come on the event loop
  view->RefreshStatus();  // before the lookups have answered
  ASSERT_TRUE(WaitForOutcomes());  // the superseded ones freed too
  ASSERT_EQ(boxes.calls.size(), 2 * std::size(names));
  for (const MessageBoxCall& call : boxes.calls) EXPECT_EQ(call.text, kHostNotFound);
  for (std::size_t i = 0; i < std::size(names); ++i) {
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
