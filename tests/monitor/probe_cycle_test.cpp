#include <sys/resource.h>

#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

using ProbeCycle = ViewTest;

TEST_F(ProbeCycle, ListeningEndpointShowsNormalConnection) {
  TcpListener listener;
  Add("127.0.0.1", listener.port(), "db");
  view->RefreshStatus();
  EXPECT_EQ(Entry(0).state, Connecting);
  EXPECT_EQ(Entry(0).result, Gbk(u8"连接中..."));
  ASSERT_TRUE(WaitForState(0, Connected));
  EXPECT_EQ(Entry(0).result, Gbk(u8"正常连接"));
  EXPECT_EQ(Alarms(), 0u);
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ProbeCycle, RefusedEndpointFailsWithOneAlarmEveryCycle) {
  Add("127.0.0.1", RefusedPort());
  for (std::size_t cycle = 1; cycle <= 2; ++cycle) {
    view->RefreshStatus();
    EXPECT_EQ(Entry(0).state, Connecting);
    ASSERT_TRUE(WaitForState(0, Failed));
    EXPECT_EQ(Entry(0).result, Gbk(u8"连接异常"));
    Pump(30);
    EXPECT_EQ(Alarms(), cycle);
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ProbeCycle, EndpointThatAcceptsAndClosesStaysConnected) {
  AcceptAndClose server;
  Add("127.0.0.1", server.port());
  ConnectUntilPeerClosed(0);
  EXPECT_EQ(Entry(0).state, Connected);
  EXPECT_EQ(Entry(0).result, Gbk(u8"正常连接"));
  EXPECT_EQ(Alarms(), 0u);
}

TEST_F(ProbeCycle, SilentEndpointTimesOutLikeWindows) {
  ShortConnectTimeout shortTimeout(std::chrono::milliseconds(200));
  SilentEndpoint silent;
  Add("127.0.0.1", silent.port());
  view->RefreshStatus();
  ASSERT_TRUE(WaitForState(0, Failed));
  EXPECT_EQ(Entry(0).result, Gbk(u8"连接超时"));
  EXPECT_EQ(Alarms(), 1u);
}

TEST_F(ProbeCycle, SameEndpointTwiceGetsTwoProbes) {
  TcpListener listener;
  Add("127.0.0.1", listener.port(), "a");
  Add("127.0.0.1", listener.port(), "b");
  view->RefreshStatus();
  EXPECT_NE(Entry(0).socket->handle, Entry(1).socket->handle);
  ASSERT_TRUE(WaitForState(0, Connected));
  ASSERT_TRUE(WaitForState(1, Connected));
}

TEST_F(ProbeCycle, EmptyListOnlyRepaints) {
  view->RefreshStatus();
  Pump(20);
  EXPECT_TRUE(boxes.calls.empty());
  EXPECT_EQ(Alarms(), 0u);
  EXPECT_TRUE(view->Setting().abandonedProbes.empty());
}

TEST_F(ProbeCycle, PortAbove65535ProbesItsLow16Bits) {
  Add("127.0.0.1", 65536);
  Add("127.0.0.1", 70000);
  view->RefreshStatus();
  EXPECT_EQ(Entry(0).port, 65536);
  EXPECT_EQ(Entry(0).socket->port, 0);
  EXPECT_EQ(Entry(0).socket->address.sin_port, 0);
  EXPECT_EQ(Entry(1).port, 70000);
  EXPECT_EQ(Entry(1).socket->port, 4464);
  EXPECT_EQ(Entry(1).socket->address.sin_port, htons(4464));
  EXPECT_TRUE(WaitForOutcomes());
}

TEST_F(ProbeCycle, CycleWhilePreviousIsPendingStillAlarmsForTheSupersededProbe) {
  ShortConnectTimeout shortTimeout(std::chrono::milliseconds(300));
  SilentEndpoint silent;
  Add("127.0.0.1", silent.port());
  view->RefreshStatus();
  Socket* first = Entry(0).socket.get();
  view->RefreshStatus();
  EXPECT_NE(Entry(0).socket.get(), first);
  ASSERT_EQ(view->Setting().abandonedProbes.size(), 1u);
  EXPECT_EQ(view->Setting().abandonedProbes[0].get(), first);
  ASSERT_TRUE(WaitForState(0, Failed));
  ASSERT_TRUE(WaitForOutcomes());  // the superseded probe is freed once its outcome came
  EXPECT_EQ(Alarms(), 2u);
}

TEST_F(ProbeCycle, ClosedProbeNeverClosesTheSocketThatReusedItsHandle) {
  AcceptAndClose server;
  Add("127.0.0.1", server.port());
  SOCKET handle = ConnectUntilPeerClosed(0);
  int other = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(other, handle) << "the kernel hands out the lowest free descriptor";
  view->RefreshStatus();  // destroys the closed probe
  FlushSocketWork();
  EXPECT_TRUE(IsOpenDescriptor(other));
  close(other);
}

TEST_F(ProbeCycle, NotificationForASocketNoEntryHoldsChangesNothingButAlarms) {
  TcpListener listener;
  Add("127.0.0.1", listener.port());
  view->RefreshStatus();
  ASSERT_TRUE(WaitForState(0, Connected));
  view->OnSocketEvent(987654, FD_CONNECT | (WSAECONNREFUSED << 16));
  EXPECT_EQ(Entry(0).state, Connected);
  EXPECT_EQ(Alarms(), 1u);
}

TEST_F(ProbeCycle, ErrorCodesBecomeTileTexts) {
  Add("127.0.0.1", 1);
  Entry(0).socket = std::make_unique<Socket>();
  Entry(0).socket->handle = 424242;  // no socket of the layer: never closed for real
  auto failWith = [&](int code) {
    view->OnSocketEvent(424242, FD_CONNECT | (static_cast<std::uint32_t>(code) << 16));
    EXPECT_EQ(Entry(0).state, Failed) << code;
    return Entry(0).result;
  };
  EXPECT_EQ(failWith(10059), "Unknown code?");
  EXPECT_EQ(failWith(10065), "No route to host.");
  EXPECT_EQ(failWith(10038), Gbk(u8"非法的socket"));
  EXPECT_EQ(failWith(10035), "");  // would block has no text
  view->OnSocketEvent(424242, FD_CONNECT);
  EXPECT_EQ(Entry(0).state, Connected);
  view->OnSocketEvent(424242, 8);  // an event the view did not ask for: nothing
  EXPECT_EQ(Entry(0).state, Connected);
}

TEST_F(ProbeCycle, OpenFileLimitFailureShowsOneBoxNotOnePerTick) {
  Add("127.0.0.1", RefusedPort());
  view->RefreshStatus();  // brings the socket layer up before descriptors run out
  ASSERT_TRUE(WaitForOutcomes());
  // Closed now, so that no descriptor frees up below the limit while the test runs.
  Entry(0).socket.reset();
  FlushSocketWork();
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  int lowestFree = dup(0);
  close(lowestFree);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  int nested = 0;
  {
    MessageBoxRecorder recorder([&] {
      // Timer ticks keep coming while the box is open.
      for (; nested < 3; ++nested) view->RefreshStatus();
    });
    view->RefreshStatus();
    setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].text, "Error - Too many open files. - in [Socket::Create()]");
    EXPECT_EQ(recorder.calls[0].caption, "Error.");
    EXPECT_EQ(recorder.calls[0].icon, MessageIcon::Error);
    EXPECT_EQ(recorder.calls[0].owner, view.get());
  }
  EXPECT_EQ(nested, 3);
  EXPECT_EQ(Entry(0).state, Connecting);
  EXPECT_EQ(Entry(0).result, Gbk(u8"连接中..."));
  EXPECT_EQ(Entry(0).socket->handle, INVALID_SOCKET);
  EXPECT_STREQ(Entry(0).socket->errorText, "Error - Too many open files. - in [Socket::Create()]");
  EXPECT_EQ(Alarms(), 1u);  // only the first, real refusal
}
