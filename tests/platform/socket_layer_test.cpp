#include <gtest/gtest.h>

#include <netdb.h>

#include <QObject>
#include <thread>
#include <vector>

#include "platform/socket_message.h"
#include "platform/winsock.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

constexpr unsigned kMessage = 0x8001;

struct Note {
  SOCKET handle;
  long event;
  int error;
};

// A window that keeps every socket message it is sent.
class Window : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != SocketMessage::EventType()) return QObject::event(e);
    auto* m = static_cast<SocketMessage*>(e);
    EXPECT_EQ(m->message, kMessage);
    notes.push_back({m->handle, static_cast<long>(m->word & 0xFFFF), static_cast<int>(m->word >> 16)});
    return true;
  }
  std::vector<Note> notes;
};

// A socket registered with the window, its connect to port started.
SOCKET StartConnect(Window& window, int port) {
  SOCKET s = WSASocketA(2, 1, 0);
  EXPECT_NE(s, INVALID_SOCKET);
  EXPECT_GT(s, 0);
  EXPECT_EQ(WSAAsyncSelect(s, &window, kMessage, FD_CONNECT | FD_CLOSE), 0);
  EXPECT_EQ(WSAConnect(s, Loopback(port)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  return s;
}

class ShortConnectTimeout {
 public:
  explicit ShortConnectTimeout(std::chrono::milliseconds t) { SetConnectTimeout(t); }
  ~ShortConnectTimeout() { SetConnectTimeout(kWindowsConnectTimeout); }
};

}  // namespace

TEST(SocketOutcome, ListeningEndpointReportsConnectWithoutError) {
  TcpListener listener;
  Window window;
  SOCKET s = StartConnect(window, listener.port());
  EXPECT_TRUE(IsConnectPending(s));
  ASSERT_TRUE(WaitFor([&] { return !window.notes.empty(); }));
  EXPECT_EQ(window.notes[0].handle, s);
  EXPECT_EQ(window.notes[0].event, FD_CONNECT);
  EXPECT_EQ(window.notes[0].error, 0);
  EXPECT_FALSE(IsConnectPending(s));
  EXPECT_EQ(closesocket(s), 0);
}

TEST(SocketOutcome, RefusedConnectCarriesWindowsCode) {
  Window window;
  SOCKET s = StartConnect(window, RefusedPort());
  ASSERT_TRUE(WaitFor([&] { return !window.notes.empty(); }));
  EXPECT_EQ(window.notes[0].event, FD_CONNECT);
  EXPECT_EQ(window.notes[0].error, WSAECONNREFUSED);
  Pump(50);
  EXPECT_EQ(window.notes.size(), 1u);  // a failed connect has no close to report
  closesocket(s);
}

TEST(SocketOutcome, PeerCloseFollowsTheConnectOnce) {
  AcceptAndClose server;
  Window window;
  SOCKET s = StartConnect(window, server.port());
  ASSERT_TRUE(WaitFor([&] { return window.notes.size() >= 2; }));
  EXPECT_EQ(window.notes[0].event, FD_CONNECT);
  EXPECT_EQ(window.notes[0].error, 0);
  EXPECT_EQ(window.notes[1].event, FD_CLOSE);
  EXPECT_EQ(window.notes[1].error, 0);
  Pump(50);
  EXPECT_EQ(window.notes.size(), 2u);
  closesocket(s);
}

TEST(SocketOutcome, SilentEndpointTimesOutAsWindowsDoes) {
  ShortConnectTimeout shortTimeout(std::chrono::milliseconds(200));
  SilentEndpoint silent;
  Window window;
  SOCKET s = StartConnect(window, silent.port());
  ASSERT_TRUE(WaitFor([&] { return !window.notes.empty(); }));
  EXPECT_EQ(window.notes[0].event, FD_CONNECT);
  EXPECT_EQ(window.notes[0].error, WSAETIMEDOUT);
  Pump(50);
  EXPECT_EQ(window.notes.size(), 1u);
  closesocket(s);
}

TEST(SocketOutcome, OnlyRegisteredEventsAreSent) {
  AcceptAndClose server;
  Window window;
  SOCKET s = WSASocketA(2, 1, 0);
  ASSERT_EQ(WSAAsyncSelect(s, &window, kMessage, FD_CLOSE), 0);
  WSAConnect(s, Loopback(server.port()));
  ASSERT_TRUE(WaitFor([&] { return !window.notes.empty(); }));
  EXPECT_EQ(window.notes[0].event, FD_CLOSE);
  closesocket(s);
}

TEST(SocketClose, NothingQueuedForAClosedSocketIsDelivered) {
  Window window;
  int port = RefusedPort();
  std::vector<SOCKET> sockets;
  for (int i = 0; i < 20; ++i) sockets.push_back(StartConnect(window, port));
  for (SOCKET s : sockets) EXPECT_EQ(closesocket(s), 0);
  FlushSocketWork();
  Pump(100);
  EXPECT_TRUE(window.notes.empty());
  for (SOCKET s : sockets) EXPECT_FALSE(IsOpenDescriptor(s));
}

TEST(SocketClose, AReusedHandleGetsOnlyItsOwnOutcome) {
  TcpListener listener;
  Window window;
  SOCKET first = StartConnect(window, RefusedPort());
  closesocket(first);
  FlushSocketWork();
  SOCKET second = StartConnect(window, listener.port());
  ASSERT_EQ(second, first) << "the kernel hands out the lowest free descriptor";
  ASSERT_TRUE(WaitFor([&] { return !window.notes.empty(); }));
  Pump(50);
  ASSERT_EQ(window.notes.size(), 1u);
  EXPECT_EQ(window.notes[0].error, 0);
  closesocket(second);
}

TEST(SocketErrors, MisuseGetsWindowsCodes) {
  Window window;
  EXPECT_EQ(closesocket(987654), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(WSAAsyncSelect(987654, &window, kMessage, FD_CONNECT), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  SilentEndpoint silent;
  SOCKET s = StartConnect(window, silent.port());
  EXPECT_EQ(WSAConnect(s, Loopback(1)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEALREADY);
  EXPECT_EQ(closesocket(s), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);  // never twice
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST(SocketErrors, UnsupportedFamilyFailsCreation) {
  EXPECT_EQ(WSASocketA(12345, 1, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
}

TEST(SocketErrors, LastErrorIsPerThread) {
  WSASetLastError(WSAECONNREFUSED);
  int other = -1;
  std::thread([&] { other = WSAGetLastError(); }).join();
  EXPECT_EQ(other, 0);
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
}

TEST(SocketErrors, ErrnoAndResolverResultsMapToWindowsNumbers) {
  EXPECT_EQ(WsaCodeFromErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(WsaCodeFromErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(WsaCodeFromErrno(EMFILE), 10024);
  EXPECT_EQ(WsaCodeFromErrno(EHOSTUNREACH), 10065);
  EXPECT_EQ(WsaCodeFromResolver(EAI_NONAME, 0), 11001);
  EXPECT_EQ(WsaCodeFromResolver(EAI_AGAIN, 0), 11002);
  EXPECT_EQ(WsaCodeFromResolver(EAI_FAIL, 0), 11003);
  EXPECT_EQ(WsaCodeFromResolver(EAI_SYSTEM, EMFILE), 10024);
}
