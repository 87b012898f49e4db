// Host names are looked up through the test's own DNS server on loopback.
#include "tests/common/process_counts.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using HostName = ViewTest;
using Reply = LoopbackDns::Reply;

class ShortLookupTimeout {
 public:
  explicit ShortLookupTimeout(std::chrono::milliseconds t) { SetLookupTimeout(t); }
  ~ShortLookupTimeout() { SetLookupTimeout(kLookupTimeout); }
};

// Each resolver failure fails its entry with its own text and opens its box once, without
// an alarm: later cycles, one of them a timer tick inside the box, fail the same way
// silently. Once the server knows the name the entry connects through the address it gave,
// and failing after that opens the box again.
TEST_F(HostName, EachResolverFailureShowsItsTextAndOneBoxUntilTheNameResolvesAndConnects) {
  ShortLookupTimeout shortTimeout(std::chrono::milliseconds(1000));
  TcpListener listener;
  const std::pair<Reply, std::string> cases[] = {{Reply::kNoSuchName, "Host not found."},
      {Reply::kSilent, "Nonauthoritative host not found."},
      {Reply::kServerFailure, "This is a nonrecoverable error."},
      {Reply::kNoData, "Valid name, no data record of requested type."}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    dns.Answer("case" + std::to_string(i) + ".test", cases[i].first);
    Add("Case" + std::to_string(i) + ".test", listener.port());
  }
  int nested = 0;
  MessageBoxRecorder recorder([&] {
    if (nested++ == 0) view->RefreshStatus();
  });
  for (int cycle = 0; cycle < 2; ++cycle) {
    view->RefreshStatus();
    EXPECT_TRUE(cycle || recorder.calls.empty());  // the UI thread never waits: answers come on the event loop
    ASSERT_TRUE(WaitForOutcomes());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_EQ(Entry(i).state, Failed) << i;
      EXPECT_EQ(Entry(i).result, cases[i].second) << i;
    }
  }
  ASSERT_EQ(recorder.calls.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string message = "Error - " + cases[i].second + " - in [Socket::Connect() gethostbyname ]";
    EXPECT_EQ(std::count_if(recorder.calls.begin(), recorder.calls.end(), [&](auto& c) { return c.text == message; }), 1) << i;
  }
  dns.Answer("case0.test", Reply::kAddress);
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return Entry(0).state == Connected; }));
  EXPECT_EQ(Entry(0).result, Gbk(u8"正常连接"));
  ASSERT_EQ(Entry(0).socket->addresses.size(), 1u);
  EXPECT_EQ(Entry(0).socket->addresses[0].Text(), "127.0.0.1");
  dns.Answer("case0.test", Reply::kNoSuchName);
  view->RefreshStatus();
  ASSERT_TRUE(WaitForOutcomes());
  EXPECT_EQ(recorder.calls.size(), std::size(cases) + 1);
  EXPECT_EQ(Alarms(), 0u);
}

// Answers that come in together are all handed out before a failure's box opens: the box
// holds no other name's probe back.
TEST_F(HostName, AFailedNameBoxHoldsNoAnswerThatCameWithItBack) {
  TcpListener listener;
  constexpr std::size_t kNames = 8;
  for (std::size_t i = 0; i < kNames; ++i) {
    dns.Answer("up" + std::to_string(i) + ".test", Reply::kAddress);
    Add("up" + std::to_string(i) + ".test", listener.port());
  }
  Add("down.test", listener.port());
  std::size_t openedBeforeTheBox = 0;
  MessageBoxRecorder recorder([&] {
    for (std::size_t i = 0; i < kNames; ++i) openedBeforeTheBox += Entry(i).socket->handle > 0;
  });
  view->RefreshStatus();
  dns.AnswerWaiting();
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_EQ(recorder.calls.size(), 1u);
  EXPECT_EQ(openedBeforeTheBox, kNames);
  for (std::size_t i = 0; i < kNames; ++i) EXPECT_EQ(Entry(i).state, Connected) << i;
}

// Fifty names on a resolver that never answers, cycle after cycle: the probes waiting
// for their names hold no socket, each name has one lookup per family shared across
// cycles, and a superseded probe is gone at once.
TEST_F(HostName, SilentResolverHoldsOneLookupPerNameAndNoSocketPerWaitingProbe) {
  constexpr int kNames = 50;
  LoopbackDns silent(Reply::kSilent);
  for (int i = 0; i < kNames; ++i) Add("host" + std::to_string(i % (kNames / 2)) + ".test", 80 + i);
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return silent.Queries() == kNames; }));
  const int descriptors = OpenDescriptors();
  for (int cycle = 0; cycle < 20; ++cycle) {
    view->RefreshStatus();
    Pump(5);
  }
  EXPECT_EQ(LookupsInFlight(), static_cast<std::size_t>(kNames));
  EXPECT_LE(silent.Queries("host0.test"), 6);  // c-ares' own retries of the A and AAAA lookups
  EXPECT_TRUE(view->Setting().abandonedProbes.empty());
  EXPECT_LE(OpenDescriptors(), descriptors);
  for (int i = 0; i < kNames; ++i) {
    EXPECT_EQ(Entry(i).state, Connecting) << i;
    EXPECT_EQ(Entry(i).socket->handle, 0) << i;
  }
  // Nobody waits any more: the lookups and their sockets go at the next turns of the
  // loop, long before c-ares or the lookup's own timeout would end them.
  view->Setting().Clear();
  for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();
  EXPECT_EQ(LookupsInFlight(), 0u);
  EXPECT_LT(OpenDescriptors(), descriptors);
  EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
