// Cycles and notifications; the soak test checks the outcome of every kind of endpoint.
#include "platform/file_limit.h"
#include "tests/common/process_counts.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using ProbeCycle = ViewTest;

// With no slice time, each slice starts the fewest entries it may, so the walk of a list
// of ten slices takes ten turns whatever the machine's speed.
constexpr std::size_t kSlice = CKelvanorView::kEntriesPerSliceAtLeast;
constexpr std::size_t kLongList = 10 * kSlice;
const std::string kTooManyFiles = "Error - Too many open files. - in [Socket::Create()]";

// A silent host fails within half a one-second refresh, every cycle; the probe a tick
// supersedes while it is pending still sounds its alarm.
TEST_F(ProbeCycle, SilentHostFailsWithinEveryCycleOfAShortRefreshAndASupersededProbeStillAlarms) {
  SilentEndpoint silent;
  Add("127.0.0.1", silent.port());
  view->Setting().refreshTime = 1;
  view->RefreshStatus();
  Socket* first = Entry(0).socket.get();
  view->RefreshStatus();
  ASSERT_EQ(view->Setting().abandonedProbes.size(), 1u);
  EXPECT_EQ(view->Setting().abandonedProbes[0].get(), first);
  for (std::size_t alarms : {2u, 3u}) {
    ASSERT_TRUE(WaitFor([&] { return Entry(0).state == Failed; }, 5000)) << alarms;
    EXPECT_EQ(Entry(0).result, Gbk(u8"连接超时"));
    ASSERT_TRUE(WaitForOutcomes());  // the superseded probe is freed once its outcome came
    EXPECT_EQ(Alarms(), alarms);
    view->RefreshStatus();
  }
}

TEST_F(ProbeCycle, CloseWithAnErrorKeepsTheEntryAndTheClosedProbeNeverClosesTheSocketThatReusedItsHandle) {
  TcpListener listener;
  Add("127.0.0.1", listener.port());
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return Entry(0).state == Connected; }));
  const SOCKET handle = Entry(0).socket->handle;
  view->OnSocketEvent(handle, FD_CLOSE | (WSAECONNRESET << 16));  // the peer reset
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
  EXPECT_EQ(Entry(0).state, Connected);
  EXPECT_EQ(Entry(0).result, Gbk(u8"正常连接"));
  EXPECT_EQ(Alarms(), 0u);
  FlushSocketWork();
  const SOCKET other = WSASocketA(2, 1, 0);
  ASSERT_EQ(other, handle) << "the probe's socket is closed, so its descriptor is handed out again";
  view->RefreshStatus();  // destroys the closed probe
  FlushSocketWork();
  EXPECT_TRUE(IsOpenDescriptor(other));
  EXPECT_EQ(closesocket(other), 0);
}

// The peer hangs up after its connect was handled, or before anybody looked, so that the
// answer and the hang-up are reported together: either way the tile stays green and the
// probe's socket is closed.
TEST_F(ProbeCycle, PeerHangUpClosesTheProbeAndKeepsTheEntryConnectedAlsoWhenItCameWithTheAnswer) {
  TcpListener listener;
  IPInfo& entry = Add("127.0.0.1", listener.port());
  for (const bool together : {false, true}) {
    view->RefreshStatus();
    const SOCKET handle = entry.socket->handle;
    FlushSocketWork();  // the handshake is done inside the connect
    if (!together) {
      ASSERT_TRUE(WaitFor([&] { return entry.state == Connected; }));
    }
    close(accept(listener.fd(), nullptr, nullptr));
    ASSERT_TRUE(WaitFor([&] {
      FlushSocketWork();
      return !IsOpenDescriptor(handle);
    })) << together;
    EXPECT_EQ(entry.state, Connected) << together;
    EXPECT_EQ(Alarms(), 0u) << together;
  }
}

TEST_F(ProbeCycle, OutcomeFindsItsEntryThroughItsHandleWithItsTextAndAStaleHandleGivesNoEntry) {
  for (SOCKET handle : {424242, 424243}) {
    IPInfo& entry = Add("127.0.0.1", 1);
    entry.socket = std::make_unique<Socket>();  // never closed for real: no socket of the layer
    entry.socket->handle = handle;
    view->Setting().NoteProbe(view->Setting().ipList.back());
  }
  const std::pair<int, std::string> texts[] = {{10059, "Unknown code?"}, {10065, "No route to host."},
                                               {10038, Gbk(u8"非法的socket")}, {10035, ""}};  // would block: none
  for (const auto& [code, text] : texts) {
    view->OnSocketEvent(424242, FD_CONNECT | (static_cast<std::uint32_t>(code) << 16));
    EXPECT_EQ(Entry(0).state, Failed) << code;
    EXPECT_EQ(Entry(0).result, text) << code;
  }
  view->OnSocketEvent(424243, FD_CONNECT);
  view->OnSocketEvent(424243, 8);  // an event the view did not ask for: nothing
  EXPECT_EQ(Entry(1).state, Connected);
  Entry(1).socket->handle = 424244;  // a new probe: the handle noted for the entry is stale
  view->OnSocketEvent(424243, FD_CONNECT | (WSAECONNREFUSED << 16));
  view->OnSocketEvent(987654, FD_CONNECT | (WSAECONNREFUSED << 16));  // never any entry's
  EXPECT_EQ(Entry(1).state, Connected);
  EXPECT_EQ(Alarms(), 6u);  // every failed connect sounds the alarm, an entry's or not
  view->Setting().soundType = 0;
  view->OnSocketEvent(424242, FD_CONNECT | (WSAECONNREFUSED << 16));
  EXPECT_EQ(Alarms(), 6u);  // but not with alarm kind 0
}

TEST_F(ProbeCycle, OpenFileLimitFailureShowsOneBoxNotOnePerTickSliceOrCycleAndFailsEachEntry) {
  Add("127.0.0.1", RefusedPort());
  view->RefreshStatus();  // brings the socket layer up before descriptors run out
  ASSERT_TRUE(WaitForOutcomes());
  Entry(0).socket.reset();  // closed now, so that no descriptor frees up below the limit
  FlushSocketWork();
  for (std::size_t i = 0; i < kSlice; ++i) Add("127.0.0.1", 1);  // the failures span two slices
  view->SetSliceTime(std::chrono::microseconds(0));
  const int lowestFree = dup(0);
  close(lowestFree);
  int nested = 0;
  {
    OpenFileLimit limit(static_cast<rlim_t>(lowestFree));
    MessageBoxRecorder recorder([&] {
      for (; nested < 3; ++nested) view->RefreshStatus();  // timer ticks while the box is open
    });
    for (int cycle = 0; cycle < 2; ++cycle) {
      view->RefreshStatus();
      ASSERT_TRUE(WaitFor([&] { return !view->IsWalking(); }));
    }
    ASSERT_EQ(recorder.calls.size(), 1u);
    const MessageBoxCall& box = recorder.calls[0];
    EXPECT_EQ(std::tie(box.text, box.caption, box.icon, box.owner),
              std::tuple(kTooManyFiles, "Error.", MessageIcon::Error, view.get()));
  }
  EXPECT_EQ(nested, 3);
  for (std::size_t i = 0; i <= kSlice; ++i) {
    EXPECT_EQ(Entry(i).state, Failed) << i;
    EXPECT_EQ(Entry(i).result, "Too many open files.") << i;
    EXPECT_EQ(Entry(i).socket->errorText, kTooManyFiles) << i;
  }
  EXPECT_EQ(Alarms(), 1u);  // only the first, real refusal
}

// Three times more endpoints than the open-file limit, a third of them names: probes hold
// no more descriptors than the window the limit leaves them, a probe waiting for its name
// counting as one, and the entries whose turn has not come wait and start as descriptors
// free up. Every endpoint gets its own outcome in each cycle, none runs out of descriptors.
TEST_F(ProbeCycle, MoreEndpointsThanTheOpenFileLimitAllowsEachGetsItsOutcomeEveryCycleAndNoneRunsOut) {
  constexpr rlim_t kLimit = 2 * kReservedDescriptors;
  constexpr std::size_t kEndpoints = 3 * kLimit;
  TcpListener listener(4096);
  const int refused = RefusedPort();
  for (std::size_t i = 0; i < kEndpoints; ++i) {
    if (i % 3 == 2) {
      const std::string name = "host" + std::to_string(i) + ".test";
      dns.Answer(name, LoopbackDns::Reply::kAddress);
      Add(name, listener.port());
    } else {
      Add("127.0.0.1", i % 3 ? refused : listener.port());
    }
  }
  OpenFileLimit limit(kLimit);
  for (int cycle = 0; cycle < 2; ++cycle) {
    view->RefreshStatus();
    ASSERT_LT(view->ProbeWindow(), kEndpoints);
    std::size_t most = 0;
    ASSERT_TRUE(WaitFor([&] {
      most = std::max(most, SocketsHeld() + Socket::AwaitingNames() + LookupsInFlight());
      return !view->IsWalking() && std::none_of(view->Setting().ipList.begin(), view->Setting().ipList.end(),
                                                [](const IPInfo& e) { return e.state == Connecting; });
    })) << cycle;
    EXPECT_LE(most, view->ProbeWindow()) << cycle;
    for (std::size_t i = 0; i < kEndpoints; ++i)
      ASSERT_EQ(Entry(i).result, Gbk(i % 3 == 1 ? u8"连接异常" : u8"正常连接")) << cycle << " " << i;
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ProbeCycle, PortOutsideOneTo65535IsNotProbedButFailsWithInvalidArgumentSilently) {
  TcpListener listener;  // what the port reduced to 16 bits would reach
  const std::int32_t ports[] = {0, -1, 65536, listener.port() + 65536, listener.port() - 65536, INT32_MAX};
  for (std::int32_t port : ports) Add("127.0.0.1", port);
  for (int cycle = 0; cycle < 2; ++cycle) view->RefreshStatus();
  Pump(50);
  for (std::size_t i = 0; i < std::size(ports); ++i) {
    EXPECT_EQ(Entry(i).state, Failed) << ports[i];
    EXPECT_EQ(Entry(i).result, "Invalid argument.") << ports[i];
    EXPECT_EQ(Entry(i).socket, nullptr) << ports[i];
    EXPECT_EQ(Entry(i).port, ports[i]);  // kept as stored
  }
  EXPECT_TRUE(boxes.calls.empty());
  EXPECT_EQ(Alarms(), 0u);
}

TEST_F(ProbeCycle, RefreshInTheMiddleOfTheWalkTakesOverLosesNoOutcomeAndLeaksNoDescriptor) {
  TcpListener listener(4 * kLongList);
  const int refused = RefusedPort();
  for (std::size_t i = 0; i < kLongList; ++i) Add("127.0.0.1", i % 2 ? listener.port() : refused);
  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  const int before = OpenDescriptors();
  view->SetSliceTime(std::chrono::microseconds(0));
  view->RefreshStatus();
  ASSERT_TRUE(view->IsWalking());
  EXPECT_NE(Entry(kSlice - 1).socket, nullptr);
  EXPECT_EQ(Entry(kSlice).socket, nullptr);  // left to a later turn
  // Refresh commands faster than the walk: each cycle goes on where the last one stood,
  // so the end of the list is reached all the same.
  for (std::size_t n = 1; n < kLongList / kSlice; ++n) view->RefreshStatus();
  for (std::size_t i = 0; i < kLongList; ++i) ASSERT_NE(Entry(i).socket, nullptr) << i;
  view->RestartRefreshTimer();
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_TRUE(WaitFor([&] { return !view->IsWalking(); }));
  for (std::size_t i = 0; i < kLongList; ++i) EXPECT_EQ(Entry(i).state, i % 2 ? Connected : Failed) << i;
  // The last cycle walked the whole list once more after its first slice; every refused
  // probe sounded its alarm, superseded ones included.
  EXPECT_EQ(Alarms(), kLongList / 2 + (kLongList - kSlice) / 2);
  EXPECT_TRUE(boxes.calls.empty());
  // One descriptor per entry, however the walks overlapped; none once they are gone.
  FlushSocketWork();
  EXPECT_EQ(OpenDescriptors() - before, static_cast<int>(kLongList));
  view.reset();
  FlushSocketWork();
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
