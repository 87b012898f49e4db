// Connects through the socket layer on loopback: to one address, or to several raced or
// each required, over IPv4 and IPv6.
#include <gtest/gtest.h>

#include <list>
#include <optional>
#include <vector>

#include "platform/socket_message.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// Keeps the first notification it is sent.
class Receiver : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != SocketMessage::EventType()) return QObject::event(e);
    if (!word) word = static_cast<SocketMessage*>(e)->word;
    return true;
  }
  std::optional<std::uint32_t> word;
};

// A socket bound to 127.0.0.1:P and connected to 127.0.0.1:P opens simultaneously with
// itself, as an unlucky connect to a closed ephemeral port does; a listener beside it shows
// that a real peer on the same address is still a success.
TEST(SelfConnect, ConnectThatMeetsItselfIsReportedRefusedAndARealPeerConnected) {
  TcpListener listener;
  for (const bool toItself : {true, false}) {
    const SOCKET s = WSASocketA(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(s, INVALID_SOCKET);
    sockaddr_in own = Loopback(0);
    socklen_t len = sizeof own;
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&own), len), 0);
    ASSERT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&own), &len), 0);
    Receiver receiver;
    ASSERT_EQ(WSAAsyncSelect(s, &receiver, 0x8001, FD_CONNECT), 0);
    const sockaddr_in to = toItself ? own : Loopback(listener.port());
    WSAConnect(s, SocketAddress::Of(reinterpret_cast<const sockaddr*>(&to)));
    ASSERT_TRUE(WaitFor([&] { return receiver.word.has_value(); })) << toItself;
    EXPECT_EQ(*receiver.word, MakeSelectWord(FD_CONNECT, toItself ? WSAECONNREFUSED : 0)) << toItself;
    EXPECT_EQ(closesocket(s), 0);
  }
}

// Each address is a listener, a closed port or a listener that never answers, on
// 127.0.0.1 or ::1; one outcome comes for them all, decided by the address named.
TEST(ConnectByList, RacesOrRequiresEachAddressAndNamesTheOneThatDecided) {
  if (!HasIpv6Loopback()) GTEST_SKIP() << "no IPv6 on this machine";
  enum Kind { kListening, kRefused, kSilent };
  struct Target {
    int family;
    Kind kind;
  };
  struct Case {
    const char* what;
    ConnectPolicy policy;
    std::vector<Target> targets;
    int error;
    int decidedFamily;  // 0: either
  };
  const Case cases[] = {
      {"the first answer wins", ConnectPolicy::kFirst, {{AF_INET6, kListening}, {AF_INET, kListening}}, 0, AF_INET6},
      {"a refusal moves on at once", ConnectPolicy::kFirst, {{AF_INET6, kRefused}, {AF_INET, kListening}}, 0, AF_INET},
      {"silence moves on after the attempt delay", ConnectPolicy::kFirst, {{AF_INET6, kSilent}, {AF_INET, kListening}}, 0, AF_INET},
      {"all refused: the last failure", ConnectPolicy::kFirst, {{AF_INET6, kRefused}, {AF_INET, kRefused}}, WSAECONNREFUSED, AF_INET},
      {"each connects", ConnectPolicy::kEvery, {{AF_INET6, kListening}, {AF_INET, kListening}}, 0, 0},
      {"each: the one refused", ConnectPolicy::kEvery, {{AF_INET6, kListening}, {AF_INET, kRefused}}, WSAECONNREFUSED, AF_INET},
      {"each: the one silent", ConnectPolicy::kEvery, {{AF_INET6, kSilent}, {AF_INET, kListening}}, WSAETIMEDOUT, AF_INET6},
  };
  SetConnectTimeout(std::chrono::milliseconds(2000));
  FlushSocketWork();
  const std::size_t heldBefore = SocketsHeld();
  for (const Case& c : cases) {
    std::list<TcpListener> listeners;
    std::list<SilentEndpoint> silent;
    std::vector<SocketAddress> addresses;
    for (const Target& t : c.targets) {
      int port = t.kind == kSilent ? silent.emplace_back(t.family).port() : listeners.emplace_back(64, 0, t.family).port();
      if (t.kind == kRefused) listeners.pop_back();
      addresses.push_back(LoopbackAddress(t.family, port));
    }
    const SOCKET s = WSASocketA(c.targets[0].family, SOCK_STREAM, 0);
    Receiver receiver;
    ASSERT_EQ(WSAAsyncSelect(s, &receiver, 0x8001, FD_CONNECT), 0);
    EXPECT_EQ(WSAConnectByList(s, addresses, c.policy), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    ASSERT_TRUE(WaitFor([&] { return receiver.word.has_value(); })) << c.what;
    EXPECT_EQ(*receiver.word, MakeSelectWord(FD_CONNECT, c.error)) << c.what;
    ASSERT_TRUE(ConnectDecidedBy(s)) << c.what;
    if (c.decidedFamily) EXPECT_EQ(ConnectDecidedBy(s)->Family(), c.decidedFamily) << c.what;
    EXPECT_EQ(closesocket(s), 0);
    FlushSocketWork();
    EXPECT_EQ(SocketsHeld(), heldBefore) << c.what;  // the race's own sockets go with it
  }
  SetConnectTimeout(kWindowsConnectTimeout);
}

// Addresses that come later (the other family's answer) join a race whose first ones
// have all failed, which waits for them instead of failing.
TEST(ConnectByList, ARaceWaitsForTheAddressesStillToComeAndFailsOnlyWhenNoneWill) {
  if (!HasIpv6Loopback()) GTEST_SKIP() << "no IPv6 on this machine";
  TcpListener listener;
  for (const bool moreCome : {true, false}) {
    const SOCKET s = WSASocketA(AF_INET6, SOCK_STREAM, 0);
    Receiver receiver;
    ASSERT_EQ(WSAAsyncSelect(s, &receiver, 0x8001, FD_CONNECT), 0);
    WSAConnectByList(s, {LoopbackAddress(AF_INET6, RefusedPort())}, ConnectPolicy::kFirst, true);
    Pump(100);
    EXPECT_FALSE(receiver.word) << moreCome;
    WSAConnectMore(s, moreCome ? std::vector{LoopbackAddress(AF_INET, listener.port())} : std::vector<SocketAddress>{}, true);
    ASSERT_TRUE(WaitFor([&] { return receiver.word.has_value(); }));
    EXPECT_EQ(*receiver.word, MakeSelectWord(FD_CONNECT, moreCome ? 0 : WSAECONNREFUSED)) << moreCome;
    EXPECT_EQ(ConnectDecidedBy(s)->Family(), moreCome ? AF_INET : AF_INET6);
    closesocket(s);
  }
}

// Addresses are kept as written and shown in RFC 5952 form, IPv6 in brackets beside a
// port; every form inet_addr reads stays an IPv4 address, and a name is no address.
TEST(AddressText, IPv6IsShownInItsShortestFormAndNamesAsWritten) {
  const std::tuple<const char*, const char*, const char*, int> cases[] = {
      // as written, as shown, with port 80, the family it names (0: a name)
      {"2001:DB8:0:0:0:0:0:1", "2001:db8::1", "[2001:db8::1]:80", AF_INET6},
      {"2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1", "[2001:db8::1:0:0:1]:80", AF_INET6},
      {"[::1]", "::1", "[::1]:80", AF_INET6},
      {"::ffff:10.0.0.1", "::ffff:10.0.0.1", "[::ffff:10.0.0.1]:80", AF_INET6},
      {"10.0.0.1", "10.0.0.1", "10.0.0.1:80", AF_INET},
      {"0x7f.1", "0x7f.1", "0x7f.1:80", AF_INET},
      {"host.example", "host.example", "host.example:80", 0},
      {"a:b", "a:b", "a:b:80", 0},
  };
  for (const auto& [written, shown, withPort, family] : cases) {
    EXPECT_EQ(AddressText(written), shown) << written;
    EXPECT_EQ(EndpointText(written, 80), withPort) << written;
    const std::optional<SocketAddress> literal = LiteralAddress(written);
    EXPECT_EQ(literal ? literal->Family() : 0, family) << written;
  }
}

}  // namespace
