#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

using HostName = ViewTest;

TEST_F(HostName, UnresolvableNameShowsTheErrorBoxAndStartsNoConnect) {
  Add(TooLongHostName(), 80);
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return !boxes.calls.empty(); }));
  EXPECT_EQ(boxes.calls[0].text, kHostNotFound);
  EXPECT_EQ(boxes.calls[0].caption, "Error.");
  EXPECT_EQ(boxes.calls[0].icon, MessageIcon::Error);
  EXPECT_EQ(boxes.calls[0].owner, view.get());
  EXPECT_EQ(Entry(0).state, Connecting);
  EXPECT_EQ(Entry(0).result, Gbk(u8"连接中..."));
  EXPECT_EQ(Entry(0).socket->errorText, kHostNotFound);
  EXPECT_FALSE(Entry(0).socket->AwaitingOutcome());
  EXPECT_FALSE(IsConnectPending(Entry(0).socket->handle));
  EXPECT_EQ(Alarms(), 0u);
}

TEST_F(HostName, ResolvedNameIsProbedAtItsFirstAddress) {
  TcpListener listener;
  Add("localhost", listener.port());
  view->RefreshStatus();
  ASSERT_TRUE(WaitForState(0, Connected));
  EXPECT_EQ(Entry(0).socket->address.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
  EXPECT_STREQ(Entry(0).socket->hostName, "localhost");
}

TEST_F(HostName, DottedAddressIsNeverLookedUp) {
  TcpListener listener;
  Add("127.0.0.1", listener.port());
  view->RefreshStatus();
  EXPECT_TRUE(IsConnectPending(Entry(0).socket->handle));  // connecting at once
  ASSERT_TRUE(WaitForState(0, Connected));
  EXPECT_STREQ(Entry(0).socket->hostName, "?");
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

TEST_F(HostName, OddAddressesGiveAnOutcomeAndNeverCrash) {
  Add("", 80);
  Add("a..b", 80);  // an empty label
  Add(std::string(64, 'x') + ".invalid", 80);  // a label longer than 63 characters
  Add("127.0.0.1", -1);
  view->RefreshStatus();
  EXPECT_EQ(Entry(3).socket->port, 65535);
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_TRUE(WaitFor([&] { return Entry(3).state != Connecting; }));
  ASSERT_EQ(boxes.calls.size(), 3u);
  for (const MessageBoxCall& call : boxes.calls) {
    EXPECT_EQ(call.text.rfind("Error - ", 0), 0u) << call.text;
    EXPECT_NE(call.text.find(" - in [Socket::Connect() gethostbyname ]"), std::string::npos) << call.text;
  }
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(Entry(i).state, Connecting);
}
