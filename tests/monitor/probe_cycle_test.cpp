#include "tests/common/process_counts.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using ProbeCycle = ViewTest;

// Gives the entry a probe whose handle is no socket of the layer: never closed for real.
void FakeProbe(IPInfo& entry, SOCKET handle) {
  entry.socket = std::make_unique<Socket>();
  entry.socket->handle = handle;
}

TEST_F(ProbeCycle, EachKindOfEndpointEndsInItsStateTextAndAlarm) {
  ShortConnectTimeout shortTimeout(std::chrono::milliseconds(200));
  TcpListener listening;
  AcceptAndClose acceptClose;
  SilentEndpoint silent;
  const struct {
    int port;
    ProbeState state;
    const char8_t* text;
  } rows[] = {{listening.port(), Connected, u8"正常连接"},
              {RefusedPort(), Failed, u8"连接异常"},
              {acceptClose.port(), Connected, u8"正常连接"},
              {silent.port(), Failed, u8"连接超时"},
              {listening.port(), Connected, u8"正常连接"}};  // the same endpoint twice
  for (const auto& row : rows) Add("127.0.0.1", row.port);
  for (std::size_t cycle = 1; cycle <= 2; ++cycle) {
    view->RefreshStatus();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
      EXPECT_EQ(Entry(i).state, Connecting) << i;
      EXPECT_EQ(Entry(i).result, Gbk(u8"连接中...")) << i;
    }
    ASSERT_TRUE(WaitForOutcomes());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
      EXPECT_EQ(Entry(i).state, rows[i].state) << i;
      EXPECT_EQ(Entry(i).result, Gbk(rows[i].text)) << i;
    }
    EXPECT_EQ(Alarms(), 2 * cycle);  // one per failed connect, every cycle
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ProbeCycle, PortOutsideTheRangeProbesItsLow16Bits) {
  const std::pair<int, int> ports[] = {{65536, 0}, {70000, 4464}, {-1, 65535}};
  for (auto [port, probed] : ports) Add("127.0.0.1", port);
  view->RefreshStatus();
  for (std::size_t i = 0; i < std::size(ports); ++i) {
    EXPECT_EQ(Entry(i).port, ports[i].first);
    EXPECT_EQ(Entry(i).socket->port, ports[i].second);
    EXPECT_EQ(Entry(i).socket->address.sin_port, htons(static_cast<std::uint16_t>(ports[i].second)));
  }
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
  view->RefreshStatus();
  const SOCKET handle = Entry(0).socket->handle;
  ASSERT_TRUE(WaitForState(0, Connected));
  ASSERT_TRUE(WaitForClosed(handle));  // the peer's close closes the probe's socket
  EXPECT_EQ(Entry(0).result, Gbk(u8"正常连接"));
  const int other = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(other, handle) << "the kernel hands out the lowest free descriptor";
  view->RefreshStatus();  // destroys the closed probe
  FlushSocketWork();
  EXPECT_TRUE(IsOpenDescriptor(other));
  close(other);
}

TEST_F(ProbeCycle, CloseCarryingAnErrorClosesTheProbeAndLeavesItsEntryConnected) {
  TcpListener listener;
  Add("127.0.0.1", listener.port());
  view->RefreshStatus();
  ASSERT_TRUE(WaitForState(0, Connected));
  const SOCKET handle = Entry(0).socket->handle;
  view->OnSocketEvent(handle, FD_CLOSE | (WSAECONNRESET << 16));
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
  EXPECT_TRUE(WaitForClosed(handle));
  EXPECT_EQ(Entry(0).state, Connected);
  EXPECT_EQ(Entry(0).result, Gbk(u8"正常连接"));
  EXPECT_EQ(Alarms(), 0u);
}

TEST_F(ProbeCycle, OutcomeFindsItsEntryThroughItsHandleAndAStaleHandleGivesNoEntry) {
  for (SOCKET handle : {424242, 424243}) {
    FakeProbe(Add("127.0.0.1", 1), handle);
    view->Setting().NoteProbe(view->Setting().ipList.back());
  }
  view->OnSocketEvent(424243, FD_CONNECT);
  EXPECT_EQ(Entry(1).state, Connected);
  Entry(1).socket->handle = 424244;  // a new probe: the handle noted for the entry is stale
  view->OnSocketEvent(424243, FD_CONNECT | (WSAECONNREFUSED << 16));
  view->OnSocketEvent(987654, FD_CONNECT | (WSAECONNREFUSED << 16));  // never any entry's
  EXPECT_EQ(Entry(0).state, Connecting);
  EXPECT_EQ(Entry(1).state, Connected);
  EXPECT_EQ(Alarms(), 2u);  // outcomes of no entry still sound the alarm
}

TEST_F(ProbeCycle, ErrorCodesBecomeTileTexts) {
  FakeProbe(Add("127.0.0.1", 1), 424242);
  const std::pair<int, std::string> rows[] = {{10059, "Unknown code?"},
                                              {10065, "No route to host."},
                                              {10038, Gbk(u8"非法的socket")},
                                              {10035, ""}};  // would block has no text
  for (const auto& [code, text] : rows) {
    view->OnSocketEvent(424242, FD_CONNECT | (static_cast<std::uint32_t>(code) << 16));
    EXPECT_EQ(Entry(0).state, Failed) << code;
    EXPECT_EQ(Entry(0).result, text) << code;
  }
  view->OnSocketEvent(424242, FD_CONNECT);
  EXPECT_EQ(Entry(0).state, Connected);
  view->OnSocketEvent(424242, 8);  // an event the view did not ask for: nothing
  EXPECT_EQ(Entry(0).state, Connected);
}

TEST_F(ProbeCycle, OpenFileLimitFailureShowsOneBoxNotOnePerTick) {
  Add("127.0.0.1", RefusedPort());
  view->RefreshStatus();  // brings the socket layer up before descriptors run out
  ASSERT_TRUE(WaitForOutcomes());
  Entry(0).socket.reset();  // closed now, so that no descriptor frees up below the limit
  FlushSocketWork();
  const int lowestFree = dup(0);
  close(lowestFree);
  int nested = 0;
  {
    OpenFileLimit limit(static_cast<rlim_t>(lowestFree));
    ASSERT_TRUE(limit.ok());
    MessageBoxRecorder recorder([&] {
      for (; nested < 3; ++nested) view->RefreshStatus();  // timer ticks while the box is open
    });
    view->RefreshStatus();
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].text, kTooManyFiles);
    EXPECT_EQ(recorder.calls[0].caption, "Error.");
    EXPECT_EQ(recorder.calls[0].icon, MessageIcon::Error);
    EXPECT_EQ(recorder.calls[0].owner, view.get());
  }
  EXPECT_EQ(nested, 3);
  EXPECT_EQ(Entry(0).state, Connecting);
  EXPECT_EQ(Entry(0).result, Gbk(u8"连接中..."));
  EXPECT_EQ(Entry(0).socket->handle, INVALID_SOCKET);
  EXPECT_EQ(Entry(0).socket->errorText, kTooManyFiles);
  EXPECT_EQ(Alarms(), 1u);  // only the first, real refusal
}

}  // namespace
