#pragma once
// The socket interface the monitor is written against, with Windows Sockets semantics
// on POSIX sockets:
//  - handles are never 0 (0 means "no socket yet" to the caller);
//  - a connect never blocks: WSAConnect answers "would block" and the outcome is sent
//    later to the registered window as a SocketMessage on the UI thread, carrying
//    (handle, event | error << 16) with the Windows error numbers below;
//  - a connect that meets itself (its source port chosen equal to a closed local target
//    port) is reported as WSAECONNREFUSED, as nobody answered it;
//  - a connect still pending after ConnectTimeout() is reported as WSAETIMEDOUT, as
//    Windows gives up after about 21 s where Linux retries for about 127 s;
//  - a connect may be given several addresses, raced as RFC 8305 says, with one
//    outcome for them all;
//  - the last error is per thread.
// Every function here must be called on the UI thread, except the last-error pair.
#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/socket_address.h"

class QObject;

namespace kelvanor {

using SOCKET = int;
inline constexpr SOCKET INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;

// Notification events (low 16 bits of the event word).
inline constexpr long FD_CONNECT = 16;
inline constexpr long FD_CLOSE = 32;

// Windows error numbers the layer produces.
enum WsaCode : int {
  WSA_NOT_ENOUGH_MEMORY = 8,
  WSAEINTR = 10004,
  WSAEACCES = 10013,
  WSAEFAULT = 10014,
  WSAEINVAL = 10022,
  WSAEMFILE = 10024,
  WSAEWOULDBLOCK = 10035,
  WSAEINPROGRESS = 10036,
  WSAEALREADY = 10037,
  WSAENOTSOCK = 10038,
  WSAEPROTOTYPE = 10041,
  WSAENOPROTOOPT = 10042,
  WSAEPROTONOSUPPORT = 10043,
  WSAESOCKTNOSUPPORT = 10044,
  WSAEOPNOTSUPP = 10045,
  WSAEAFNOSUPPORT = 10047,
  WSAEADDRINUSE = 10048,
  WSAEADDRNOTAVAIL = 10049,
  WSAENETDOWN = 10050,
  WSAENETUNREACH = 10051,
  WSAENETRESET = 10052,
  WSAECONNABORTED = 10053,
  WSAECONNRESET = 10054,
  WSAENOBUFS = 10055,
  WSAEISCONN = 10056,
  WSAENOTCONN = 10057,
  WSAESHUTDOWN = 10058,
  WSAETIMEDOUT = 10060,
  WSAECONNREFUSED = 10061,
  WSAEHOSTDOWN = 10064,
  WSAEHOSTUNREACH = 10065,
  WSASYSCALLFAILURE = 10107,
  WSAHOST_NOT_FOUND = 11001,
  WSATRY_AGAIN = 11002,
  WSANO_RECOVERY = 11003,
  WSANO_DATA = 11004,
};

int WSAGetLastError();
void WSASetLastError(int code);

// errno and c-ares lookup results in Windows numbers.
int WsaCodeFromErrno(int err);
int WsaCodeFromAres(int status);

// A non-blocking stream socket; INVALID_SOCKET and the last error on failure.
SOCKET WSASocketA(int family, int type, int protocol);

// Sends a SocketMessage with `message` to `window` for the events of `events`
// (FD_CONNECT and FD_CLOSE). 0 or SOCKET_ERROR.
int WSAAsyncSelect(SOCKET s, QObject* window, unsigned message, long events);

// Starts the connect; always SOCKET_ERROR with WSAEWOULDBLOCK when under way. Errors
// the kernel finds at once arrive as the connect outcome, as they do on Windows.
int WSAConnect(SOCKET s, const SocketAddress& address);

// How WSAConnectByList treats its addresses.
enum class ConnectPolicy {
  // The first to connect wins. Each next address is tried once the one before has
  // failed or has not answered for kAttemptDelay; when all fail, the last failure is
  // the outcome.
  kFirst,
  // All at once, and each must connect: the first failure is the outcome.
  kEvery,
};
inline constexpr std::chrono::milliseconds kAttemptDelay{250};

// WSAConnect to several addresses; `s` is made in the first one's family, and the others
// get sockets of the layer's own until closesocket(s). With `moreToCome`, a kFirst
// connect whose addresses have all failed waits for WSAConnectMore instead of failing.
int WSAConnectByList(SOCKET s, const std::vector<SocketAddress>& addresses, ConnectPolicy policy,
                     bool moreToCome = false);
// Adds addresses to a kFirst connect whose outcome is still to come; `last` when no
// more follow.
void WSAConnectMore(SOCKET s, const std::vector<SocketAddress>& addresses, bool last);
// The address that decided the connect's outcome: the one that connected (for kEvery,
// the last to), or the one whose failure is the outcome. None while it is pending.
std::optional<SocketAddress> ConnectDecidedBy(SOCKET s);

// Closes the socket; nothing queued for it is delivered afterwards, so a reused
// handle value never receives another socket's notification. 0 or SOCKET_ERROR.
int closesocket(SOCKET s);

// How long a connect may stay pending before it is reported as WSAETIMEDOUT.
inline constexpr std::chrono::milliseconds kWindowsConnectTimeout{21000};
std::chrono::milliseconds ConnectTimeout();
void SetConnectTimeout(std::chrono::milliseconds timeout);  // tests shorten it
// A connect started from now on gives up after the shorter of ConnectTimeout() and
// `limit`: the view keeps a silent host's failure within its refresh period.
void LimitConnectTimeout(std::chrono::milliseconds limit);

// True while the socket's connect outcome has not been delivered yet.
bool IsConnectPending(SOCKET s);

// Blocks until every connect and close handed to the socket worker has been made.
void FlushSocketWork();

// The descriptors the layer holds: its open sockets, and those closesocket was called
// for that the worker has not closed yet. A close takes a moment, so a descriptor counts
// until it is really free.
std::size_t SocketsHeld();
// True while some closed socket's descriptor is still to be freed by the worker.
bool SocketClosesPending();

}  // namespace kelvanor
