// Lookups run on their own threads; every answer must come back on the UI thread once,
// to the caller that is still waiting for it, however many are in flight together.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "platform/resolver.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(Resolver, ManyLookupsInFlightAnswerEachWaitingCallerOnceOnTheUiThread) {
  constexpr int kLookups = 200;
  const std::thread::id uiThread = std::this_thread::get_id();
  std::map<int, int> answers;  // lookup -> times answered
  std::map<int, in_addr_t> addresses;
  bool offTheUiThread = false;
  std::vector<ResolveId> ids;
  for (int i = 0; i < kLookups; ++i) {
    const char* name = i % 2 ? "localhost" : "127.0.0.1";
    ids.push_back(ResolveHostAsync(name, [&, i](const ResolveResult& r) {
      offTheUiThread |= std::this_thread::get_id() != uiThread;
      ++answers[i];
      addresses[i] = r.error == 0 ? r.address.s_addr : INADDR_NONE;
    }));
  }
  for (int i = 0; i < kLookups; i += 3) CancelResolve(ids[i]);

  const std::size_t waiting = kLookups - (kLookups + 2) / 3;
  ASSERT_TRUE(WaitFor([&] { return answers.size() >= waiting; }));
  Pump(50);  // a cancelled or repeated answer would arrive now
  EXPECT_FALSE(offTheUiThread);
  EXPECT_EQ(answers.size(), waiting);
  for (auto [i, times] : answers) {
    EXPECT_NE(i % 3, 0) << "cancelled lookup " << i << " was answered";
    EXPECT_EQ(times, 1) << "lookup " << i;
    EXPECT_EQ(addresses[i], htonl(INADDR_LOOPBACK)) << "lookup " << i;
  }
}
