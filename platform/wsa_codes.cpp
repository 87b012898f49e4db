#include <ares.h>

#include <cerrno>

#include "platform/winsock.h"

namespace kelvanor {
namespace {
thread_local int lastError = 0;
}

int WSAGetLastError() { return lastError; }
void WSASetLastError(int code) { lastError = code; }

int WsaCodeFromErrno(int err) {
  switch (err) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case EINPROGRESS:
    case EAGAIN: return WSAEWOULDBLOCK;
    case EALREADY: return WSAEALREADY;
    case EBADF:
    case ENOTSOCK: return WSAENOTSOCK;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE: return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    default: return WSASYSCALLFAILURE;
  }
}

int WsaCodeFromAres(int status) {
  switch (status) {
    case ARES_SUCCESS: return 0;
    case ARES_ENOTFOUND:
    case ARES_EBADNAME:
    case ARES_ENONAME: return WSAHOST_NOT_FOUND;
    case ARES_ETIMEOUT:
    case ARES_ECONNREFUSED: return WSATRY_AGAIN;  // no name server answered
    case ARES_ENODATA: return WSANO_DATA;
    case ARES_ENOMEM: return WSA_NOT_ENOUGH_MEMORY;
    default: return WSANO_RECOVERY;  // a server failure, a refusal, a garbled answer
  }
}

}  // namespace kelvanor
