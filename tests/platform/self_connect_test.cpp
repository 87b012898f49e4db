// A connect that meets itself is refused, as a connect to a closed port is.
#include <gtest/gtest.h>

#include <optional>

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

}  // namespace
