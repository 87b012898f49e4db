#include <gtest/gtest.h>
#include <netdb.h>

#include <thread>
#include <vector>

#include "platform/socket_message.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

constexpr unsigned kMessage = 0x8001;
constexpr long kBoth = FD_CONNECT | FD_CLOSE;
using Note = std::pair<long, int>;  // event, error

// A window that keeps every notification it is sent for one socket.
class Window : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != SocketMessage::EventType()) return QObject::event(e);
    const auto* m = static_cast<SocketMessage*>(e);
    EXPECT_EQ(m->message, kMessage);
    EXPECT_EQ(m->handle, socket);
    notes.emplace_back(static_cast<long>(m->word & 0xFFFF), static_cast<int>(m->word >> 16));
    return true;
  }
  // A socket registered with this window for `events`, its connect to port started.
  SOCKET Connect(int port, long events = kBoth) {
    socket = WSASocketA(2, 1, 0);
    EXPECT_GT(socket, 0);
    EXPECT_EQ(WSAAsyncSelect(socket, this, kMessage, events), 0);
    EXPECT_EQ(WSAConnect(socket, Loopback(port)), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    return socket;
  }
  SOCKET socket = INVALID_SOCKET;
  std::vector<Note> notes;
};

TEST(SocketOutcome, EachKindOfEndpointSendsItsRegisteredNotificationsOnce) {
  ShortConnectTimeout shortTimeout(std::chrono::milliseconds(200));
  TcpListener listening;
  AcceptAndClose acceptClose;
  SilentEndpoint silent;
  const struct {
    const char* name;
    int port;
    long events;
    std::vector<Note> notes;
  } rows[] = {{"listening", listening.port(), kBoth, {{FD_CONNECT, 0}}},
               {"refused, and no close follows", RefusedPort(), kBoth, {{FD_CONNECT, WSAECONNREFUSED}}},
               {"accept then close", acceptClose.port(), kBoth, {{FD_CONNECT, 0}, {FD_CLOSE, 0}}},
               {"close only registered", acceptClose.port(), FD_CLOSE, {{FD_CLOSE, 0}}},
               {"silent, timed out as Windows does", silent.port(), kBoth, {{FD_CONNECT, WSAETIMEDOUT}}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Window window;
    const SOCKET s = window.Connect(row.port, row.events);
    EXPECT_TRUE(IsConnectPending(s));
    ASSERT_TRUE(WaitFor([&] { return window.notes.size() >= row.notes.size(); }));
    EXPECT_FALSE(IsConnectPending(s));
    Pump(50);  // a repeated or extra notification would arrive now
    EXPECT_EQ(window.notes, row.notes);
    EXPECT_EQ(closesocket(s), 0);
  }
}

TEST(SocketClose, AReusedHandleGetsOnlyItsOwnOutcome) {
  TcpListener listener;
  Window closed, window;
  const SOCKET first = closed.Connect(RefusedPort());
  closesocket(first);
  FlushSocketWork();
  ASSERT_EQ(window.Connect(listener.port()), first) << "the kernel hands out the lowest free descriptor";
  ASSERT_TRUE(WaitFor([&] { return !window.notes.empty(); }));
  Pump(50);
  EXPECT_TRUE(closed.notes.empty());
  EXPECT_EQ(window.notes, (std::vector<Note>{{FD_CONNECT, 0}}));
  closesocket(first);
}

TEST(SocketErrors, MisuseGetsWindowsCodes) {
  EXPECT_EQ(WSASocketA(12345, 1, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
  Window window;
  EXPECT_EQ(WSAAsyncSelect(987654, &window, kMessage, FD_CONNECT), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  SilentEndpoint silent;
  const SOCKET s = window.Connect(silent.port());
  EXPECT_EQ(WSAConnect(s, Loopback(1)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEALREADY);
  EXPECT_EQ(closesocket(s), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);  // never twice
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST(SocketErrors, LastErrorIsPerThread) {
  WSASetLastError(WSAECONNREFUSED);
  int other = -1;
  std::thread([&] { other = WSAGetLastError(); }).join();
  EXPECT_EQ(other, 0);
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
}

TEST(SocketErrors, ErrnoAndResolverResultsMapToWindowsNumbers) {
  const std::pair<int, int> errnos[] = {
      {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060}, {EMFILE, 10024}, {EHOSTUNREACH, 10065}};
  for (auto [err, code] : errnos) EXPECT_EQ(WsaCodeFromErrno(err), code) << err;
  EXPECT_EQ(WsaCodeFromResolver(EAI_NONAME, 0), 11001);
  EXPECT_EQ(WsaCodeFromResolver(EAI_AGAIN, 0), 11002);
  EXPECT_EQ(WsaCodeFromResolver(EAI_FAIL, 0), 11003);
  EXPECT_EQ(WsaCodeFromResolver(EAI_SYSTEM, EMFILE), 10024);
}

}  // namespace
