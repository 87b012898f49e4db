#pragma once
// Forward name resolution through c-ares on the UI thread's event loop, so an
// unreachable resolver never freezes the window, with the system's resolver
// configuration and hosts file. Bounded whatever the name servers do: one lookup in
// flight per distinct name and family, shared by every caller waiting for it; a lookup gives up
// after LookupTimeout(); one that nobody waits for any more is dropped with its sockets.
// Resolver failures keep their kinds, in the Windows numbers (11001-11004).
#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/socket_address.h"

namespace kelvanor {

struct ResolveResult {
  int error = 0;                         // 0, or a Windows error number such as WSAHOST_NOT_FOUND
  std::vector<SocketAddress> addresses;  // the answer's addresses of the family asked for, port 0
  std::string canonicalName;
};

using ResolveId = std::uint64_t;
using ResolveDone = std::function<void(const ResolveResult&)>;

// Call on the UI thread; `done` runs there later, never inside this call, unless the
// lookup is cancelled first. `family` is AF_INET (A records), AF_INET6 (AAAA) or
// AF_UNSPEC (both).
ResolveId ResolveHostAsync(const std::string& name, int family, ResolveDone done);
void CancelResolve(ResolveId id);

// How long a lookup waits for the name servers before it fails with WSATRY_AGAIN.
inline constexpr std::chrono::milliseconds kLookupTimeout{5000};
std::chrono::milliseconds LookupTimeout();
void SetLookupTimeout(std::chrono::milliseconds timeout);  // tests shorten it

// Lookups started from now on ask this server ("127.0.0.1:5353") instead of the
// system's: tests run their own on loopback.
void SetNameServer(const std::string& server);

// Lookups under way: at most one per distinct name and family.
std::size_t LookupsInFlight();

}  // namespace kelvanor
