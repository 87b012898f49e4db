// The layer's outcomes for every kind of endpoint are checked through the monitor's view.
#include <gtest/gtest.h>
#include <netdb.h>

#include <thread>

#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(SocketErrors, MisuseGetsWindowsCodes) {
  EXPECT_EQ(WSASocketA(12345, 1, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
  QObject window;
  EXPECT_EQ(WSAAsyncSelect(987654, &window, 0x8001, FD_CONNECT), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  SilentEndpoint silent;
  const SOCKET s = WSASocketA(2, 1, 0);
  EXPECT_EQ(WSAConnect(s, Loopback(silent.port())), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
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
