// Lookups go through c-ares to the test's own DNS server on loopback; answers must come
// back on the event loop, once, to the callers still waiting, and a lookup nobody waits
// for must leave nothing behind. What each kind of answer shows: tests/monitor/host_name.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <map>
#include <optional>

#include "platform/resolver.h"
#include "platform/winsock.h"
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
  ResolveHostAsync("localhost", AF_INET, [&](const ResolveResult& r) { local = r; });
  std::map<int, int> answers;  // caller -> times answered
  std::vector<ResolveId> ids;
  for (int i = 0; i < 30; ++i)
    ids.push_back(ResolveHostAsync(i % 2 ? "up.test" : "down.test", AF_INET, [&, i](const ResolveResult&) { ++answers[i]; }));
  for (int i = 0; i < 30; i += 3) CancelResolve(ids[i]);
  ASSERT_TRUE(WaitFor([&] { return answers.size() == 20 && local.error != -1; }));
  Pump(50);  // a cancelled or repeated answer would arrive now
  EXPECT_EQ(answers.size(), 20u);
  EXPECT_EQ(local.error, 0);  // from the hosts file, without a query
  ASSERT_EQ(local.addresses.size(), 1u);
  EXPECT_EQ(local.addresses[0].Text(), "127.0.0.1");
  EXPECT_EQ(dns.Queries("localhost"), 0);
  for (auto [i, times] : answers) {
    EXPECT_NE(i % 3, 0) << i;
    EXPECT_EQ(times, 1) << i;
  }
}

// A name server that floods the lookup's socket does not hold the loop there: the socket
// is read a few datagrams a turn, so other events go on while the flood is read.
TEST(Resolver, AFloodedLookupSocketIsReadAFewDatagramsATurn) {
  const int server = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in at = Loopback(0);
  socklen_t len = sizeof at;
  bind(server, reinterpret_cast<sockaddr*>(&at), len);
  getsockname(server, reinterpret_cast<sockaddr*>(&at), &len);
  const timeval patience{10, 0};
  setsockopt(server, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  SetNameServer("127.0.0.1:" + std::to_string(ntohs(at.sin_port)));
  std::optional<ResolveResult> result;
  ResolveHostAsync("flood.test", AF_INET, [&](const ResolveResult& r) { result = r; });
  unsigned char query[512];
  sockaddr_in from{};
  socklen_t fromLen = sizeof from;
  const ssize_t n = recvfrom(server, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
  ASSERT_GT(n, 12);
  query[2] |= 0x80;  // a response
  query[3] = 0x83;   // no such name
  const auto send = [&] { sendto(server, query, n, 0, reinterpret_cast<sockaddr*>(&from), fromLen); };
  query[0] ^= 0xFF;  // answers to some other query, which the lookup skips
  for (int i = 0; i < 100; ++i) send();
  query[0] ^= 0xFF;
  send();
  int turns = 0;
  for (; !result && turns < 100000; ++turns) QCoreApplication::processEvents();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->error, WSAHOST_NOT_FOUND);
  EXPECT_GT(turns, 5);  // the 101 datagrams read in one turn: the loop held for as long as a flood lasts
  close(server);
}

}  // namespace
