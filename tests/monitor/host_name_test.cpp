// Names are looked up off the UI thread. Every name here is answered without a query to
// any name server: "localhost" from the hosts file, the others refused by the resolver
// library itself.
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
  EXPECT_TRUE(Entry(0).socket->AwaitingOutcome());
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_EQ(boxes.calls.size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(boxes.calls[i].text, kHostNotFound) << i;
    EXPECT_EQ(boxes.calls[i].caption, "Error.");
    EXPECT_EQ(boxes.calls[i].icon, MessageIcon::Error);
    EXPECT_EQ(boxes.calls[i].owner, view.get());
    EXPECT_EQ(Entry(i).state, Connecting) << i;
    EXPECT_EQ(Entry(i).result, Gbk(u8"连接中...")) << i;
    EXPECT_EQ(Entry(i).socket->errorText, kHostNotFound) << i;
    EXPECT_FALSE(IsConnectPending(Entry(i).socket->handle)) << i;
  }
  EXPECT_EQ(Alarms(), 0u);
}

TEST_F(HostName, NameIsProbedAtItsFirstAddressAndADottedAddressIsNeverLookedUp) {
  TcpListener listener;
  Add("localhost", listener.port());
  Add("127.0.0.1", listener.port());
  view->RefreshStatus();
  EXPECT_TRUE(IsConnectPending(Entry(1).socket->handle));  // connecting at once
  ASSERT_TRUE(WaitForState(0, Connected));
  ASSERT_TRUE(WaitForState(1, Connected));
  EXPECT_EQ(Entry(0).socket->address.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
  EXPECT_STREQ(Entry(0).socket->hostName, "localhost");
  EXPECT_STREQ(Entry(1).socket->hostName, "?");
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
