#include "monitor/socket.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace kelvanor {
namespace {
std::size_t awaitingNames = 0;  // probes live on the UI thread only
}

std::size_t Socket::AwaitingNames() { return awaitingNames; }

Socket::Socket() {
  errorText[0] = '\0';
  std::strcpy(hostName, "?");
}

Socket::~Socket() {
  if (resolving_) {
    CancelResolve(resolving_);
    --awaitingNames;
  }
  Close();
}

void Socket::Close() {
  if (closed_ || handle == 0 || handle == INVALID_SOCKET) return;
  closed_ = true;
  closesocket(handle);
}

bool Socket::AwaitingOutcome() const { return !closed_ && handle > 0 && IsConnectPending(handle); }

const char* Socket::Fail(const char* where) {
  const char* text = LastErrorText();
  failureText_ = text ? text : "";
  std::snprintf(errorText, sizeof errorText, "Error - %s - in [%s]", failureText_, where);
  return errorText;
}

bool Socket::Create() {
  handle = WSASocketA(family, type, protocol);
  if (handle != INVALID_SOCKET) return true;
  Fail("Socket::Create()");
  return false;
}

bool Socket::Select(QObject* window, unsigned message, long events) {
  if (WSAAsyncSelect(handle, window, message, events) == 0) return true;
  Fail("Socket::Select()");
  return false;
}

bool Socket::IsDottedAddress(const std::string& ip) { return inet_addr(ip.c_str()) != INADDR_NONE; }

void Socket::LookUp(const std::string& name, LookedUp lookedUp) {
  lookedUp_ = std::move(lookedUp);
  resolving_ = ResolveHostAsync(name, [this](const ResolveResult& r) { OnResolved(r); });
  ++awaitingNames;
}

const char* Socket::Connect(const std::string& ip, int port) {
  this->port = port & 0xFFFF;
  address.sin_family = static_cast<sa_family_t>(family);
  address.sin_port = htons(static_cast<std::uint16_t>(this->port));
  // The name of a dotted address is never looked up: nothing reads it, and the lookup
  // could wait for an unreachable resolver.
  if (IsDottedAddress(ip)) address.sin_addr.s_addr = inet_addr(ip.c_str());
  return StartConnect();
}

const char* Socket::StartConnect() {
  if (WSAConnect(handle, address) == 0) return nullptr;
  if (LastErrorText() == nullptr) return nullptr;  // would block: under way
  return Fail("Socket::WSAConnect() WSAConnect ");
}

void Socket::OnResolved(const ResolveResult& result) {
  resolving_ = 0;
  --awaitingNames;
  if (result.error != 0) {
    WSASetLastError(result.error);
    Fail("Socket::Connect() gethostbyname ");
  } else {
    address.sin_addr = result.address;
    std::snprintf(hostName, sizeof hostName, "%s", result.canonicalName.c_str());
  }
  LookedUp report = std::move(lookedUp_);
  report(*this, result.error == 0);  // may destroy this probe: nothing may follow
}

}  // namespace kelvanor
