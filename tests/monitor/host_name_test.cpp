// Host names are looked up through the test's own DNS server on loopback.
#include <list>

#include "tests/common/process_counts.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using HostName = ViewTest;
using Reply = LoopbackDns::Reply;

class LookupTimeoutFor {
 public:
  explicit LookupTimeoutFor(std::chrono::milliseconds t) { SetLookupTimeout(t); }
  ~LookupTimeoutFor() { SetLookupTimeout(kLookupTimeout); }
};

// Each resolver failure fails its entry with its own text and opens its box once, without
// an alarm: later cycles, one of them a timer tick inside the box, fail the same way
// silently. Once the server knows the name the entry connects through the address it gave,
// and failing after that opens the box again.
TEST_F(HostName, EachResolverFailureShowsItsTextAndOneBoxUntilTheNameResolvesAndConnects) {
  LookupTimeoutFor shortTimeout(std::chrono::milliseconds(1000));
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
// for their names hold no socket, each name has one lookup shared across cycles, and a
// superseded probe is gone at once.
TEST_F(HostName, SilentResolverHoldsOneLookupPerNameAndNoSocketPerWaitingProbe) {
  constexpr int kNames = 50;
  LoopbackDns silent(Reply::kSilent);
  for (int i = 0; i < kNames; ++i) Add("host" + std::to_string(i % (kNames / 2)) + ".test", 80 + i);
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return silent.Queries() == kNames / 2; }));
  const int descriptors = OpenDescriptors();
  for (int cycle = 0; cycle < 20; ++cycle) {
    view->RefreshStatus();
    Pump(5);
  }
  EXPECT_EQ(LookupsInFlight(), static_cast<std::size_t>(kNames / 2));
  EXPECT_LE(silent.Queries("host0.test"), 3);  // c-ares' own retries of the one lookup
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

// Names with A records, AAAA records or both, in each address mode, on ports that listen,
// refuse or never answer on 127.0.0.1 and ::1: what each entry shows, and which family
// its tool tip says answered. The auto mode races the families only once the operator
// chose IPv6 for names; until then it connects over IPv4 as it always did.
TEST_F(HostName, EachAddressModeConnectsToTheFamiliesItAsksForAndNamesTheOneThatAnswered) {
  if (!HasIpv6Loopback()) GTEST_SKIP() << "no IPv6 on this machine";
  enum Kind { kNone, kListening, kSilent };
  struct Row {
    const char* name;
    AddressMode mode;
    Reply a, aaaa;
    Kind v6, v4;
    const char8_t* result;
    const char8_t* answered;  // empty: no answer to name
  };
  const char8_t* kRefused = u8"连接异常";
  const Row rows[] = {
      {"both.test", AddressMode::Auto, Reply::kAddress, Reply::kAddress, kListening, kListening, u8"正常连接", u8"IPv6 ::1"},
      {"v6-refused.test", AddressMode::Auto, Reply::kAddress, Reply::kAddress, kNone, kListening, u8"正常连接", u8"IPv4 127.0.0.1"},
      {"v6-silent.test", AddressMode::Auto, Reply::kAddress, Reply::kAddress, kSilent, kListening, u8"正常连接", u8"IPv4 127.0.0.1"},
      {"aaaa-silent.test", AddressMode::Auto, Reply::kAddress, Reply::kSilent, kNone, kListening, u8"正常连接", u8"IPv4 127.0.0.1"},
      {"a-silent.test", AddressMode::Auto, Reply::kSilent, Reply::kAddress, kListening, kNone, u8"正常连接", u8"IPv6 ::1"},
      {"none.test", AddressMode::Auto, Reply::kAddress, Reply::kAddress, kNone, kNone, kRefused, u8""},
      {"[::1]", AddressMode::Auto, Reply::kNoSuchName, Reply::kNoSuchName, kListening, kNone, u8"正常连接", u8"IPv6 ::1"},
      {"four.test", AddressMode::V4, Reply::kAddress, Reply::kAddress, kListening, kNone, kRefused, u8""},
      {"six.test", AddressMode::V6, Reply::kAddress, Reply::kAddress, kListening, kNone, u8"正常连接", u8"IPv6 ::1"},
      {"each.test", AddressMode::Both, Reply::kAddress, Reply::kAddress, kListening, kListening, u8"正常连接", u8"IPv6 与 IPv4"},
      {"each-v6-refused.test", AddressMode::Both, Reply::kAddress, Reply::kAddress, kNone, kListening, u8"IPv6: 连接异常", u8""},
      {"each-no-aaaa.test", AddressMode::Both, Reply::kAddress, Reply::kNoData, kListening, kListening,
       u8"IPv6: Valid name, no data record of requested type.", u8""},
  };
  // A family's silent name server is waited for no longer than the resolution delay. The
  // lookup itself would end after c-ares' three tries, 7 s: the wait below ends before.
  LookupTimeoutFor patient(std::chrono::minutes(1));
  view->Setting().options.ipv6Names = true;
  std::list<TcpListener> listeners;
  std::list<SilentEndpoint> silent;
  for (const Row& row : rows) {
    dns.Answer(row.name, row.a, row.aaaa);
    int port = 0;
    if (row.v6 == kSilent) port = silent.emplace_back(AF_INET6).port();
    if (row.v6 == kListening) port = listeners.emplace_back(64, port, AF_INET6).port();
    if (row.v4 == kListening) port = listeners.emplace_back(64, port, AF_INET).port();
    Add(row.name, port ? port : RefusedPort()).addressMode = row.mode;
  }
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] {
    return std::none_of(view->Setting().ipList.begin(), view->Setting().ipList.end(),
                        [](const IPInfo& e) { return e.state == Connecting; });
  }, 5000));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(Entry(i).result, Gbk(rows[i].result)) << rows[i].name;
    const QString details = EndpointDetails(Entry(i), std::chrono::system_clock::now());
    const QString answered = QString::fromUtf8(reinterpret_cast<const char*>(rows[i].answered));
    EXPECT_EQ(details.contains(QString::fromUtf8(u8"应答：") + answered), !answered.isEmpty()) << rows[i].name;
  }
  view->Setting().options.ipv6Names = false;
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return Entry(0).state != Connecting; }));
  EXPECT_TRUE(EndpointDetails(Entry(0), {}).contains(QString::fromUtf8(u8"应答：IPv4 127.0.0.1")));
}

}  // namespace
