// Lookups go through c-ares to the test's own DNS server on loopback; answers must come
// back on the event loop, once, to the callers still waiting, and a lookup nobody waits
// for must leave nothing behind. What each kind of answer shows: tests/monitor/host_name.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/resolver.h"
#include "tests/common/loopback.h"
#include "tests/common/loopback_dns.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using Reply = LoopbackDns::Reply;

TEST(Resolver, CallersStillWaitingAreAnsweredOnceAndCancelledOnesNever) {
  LoopbackDns dns;
  dns.Answer("up.test", Reply::kAddress);
  ResolveResult local{-1, {}, {}};
  ResolveHostAsync("localhost", [&](const ResolveResult& r) { local = r; });
  std::map<int, int> answers;  // caller -> times answered
  std::vector<ResolveId> ids;
  for (int i = 0; i < 30; ++i)
    ids.push_back(ResolveHostAsync(i % 2 ? "up.test" : "down.test", [&, i](const ResolveResult&) { ++answers[i]; }));
  for (int i = 0; i < 30; i += 3) CancelResolve(ids[i]);
  ASSERT_TRUE(WaitFor([&] { return answers.size() == 20 && local.error != -1; }));
  Pump(50);  // a cancelled or repeated answer would arrive now
  EXPECT_EQ(answers.size(), 20u);
  EXPECT_EQ(local.error, 0);  // from the hosts file, without a query
  EXPECT_EQ(local.address.s_addr, htonl(INADDR_LOOPBACK));
  EXPECT_EQ(dns.Queries("localhost"), 0);
  for (auto [i, times] : answers) {
    EXPECT_NE(i % 3, 0) << i;
    EXPECT_EQ(times, 1) << i;
  }
}

}  // namespace
