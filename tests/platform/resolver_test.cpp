// Lookups go through c-ares to the test's own DNS server on loopback; answers must come
// back on the event loop, once, to the callers still waiting, and a lookup nobody waits
// for must leave nothing behind. What each kind of answer shows: tests/monitor/host_name.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/resolver.h"
#include "tests/common/loopback.h"
#include "tests/common/loopback_dns.h"
#include "tests/common/process_counts.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using Reply = LoopbackDns::Reply;

TEST(Resolver, HostsFileAnswersWithoutAQuery) {
  LoopbackDns dns;
  ResolveResult result{-1, {}, {}};
  ResolveHostAsync("localhost", [&](const ResolveResult& r) { result = r; });
  ASSERT_TRUE(WaitFor([&] { return result.error != -1; }));
  EXPECT_EQ(result.error, 0);
  EXPECT_EQ(result.address.s_addr, htonl(INADDR_LOOPBACK));
  EXPECT_EQ(dns.Queries(), 0);
}

TEST(Resolver, OneLookupPerNameSharedByItsCallersAndDroppedWhenNobodyWaits) {
  LoopbackDns dns(Reply::kSilent);
  const ResolveId warm = ResolveHostAsync("warm.test", [](const ResolveResult&) {});  // c-ares' own descriptors
  ASSERT_TRUE(WaitFor([&] { return dns.Queries() == 1; }));
  const int descriptors = OpenDescriptors();
  std::vector<ResolveId> ids;
  for (int i = 0; i < 40; ++i) ids.push_back(ResolveHostAsync("shared.test", [](const ResolveResult&) {}));
  ASSERT_TRUE(WaitFor([&] { return dns.Queries("shared.test") == 1; }));
  Pump(20);
  EXPECT_EQ(dns.Queries("shared.test"), 1);
  EXPECT_EQ(LookupsInFlight(), 2u);
  for (ResolveId id : ids) CancelResolve(id);
  ASSERT_TRUE(WaitFor([] { return LookupsInFlight() == 1; }));
  EXPECT_LE(OpenDescriptors(), descriptors);  // its socket closed
  CancelResolve(warm);
  ASSERT_TRUE(WaitFor([] { return LookupsInFlight() == 0; }));
}

TEST(Resolver, CallersStillWaitingAreAnsweredOnceAndCancelledOnesNever) {
  LoopbackDns dns;
  dns.Answer("up.test", Reply::kAddress);
  std::map<int, int> answers;  // caller -> times answered
  std::vector<ResolveId> ids;
  for (int i = 0; i < 30; ++i)
    ids.push_back(ResolveHostAsync(i % 2 ? "up.test" : "down.test", [&, i](const ResolveResult&) { ++answers[i]; }));
  for (int i = 0; i < 30; i += 3) CancelResolve(ids[i]);
  ASSERT_TRUE(WaitFor([&] { return answers.size() == 20; }));
  Pump(50);  // a cancelled or repeated answer would arrive now
  EXPECT_EQ(answers.size(), 20u);
  for (auto [i, times] : answers) {
    EXPECT_NE(i % 3, 0) << i;
    EXPECT_EQ(times, 1) << i;
  }
}

}  // namespace
