#pragma once
// Forward name resolution off the UI thread: getaddrinfo runs on a lookup thread and the
// answer comes back on the UI thread, so an unreachable resolver never freezes the
// window. Resolver failures keep their kinds, in the Windows numbers.
#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <string>

namespace kelvanor {

struct ResolveResult {
  int error = 0;               // 0, or a Windows error number such as WSAHOST_NOT_FOUND
  in_addr address{};           // the first IPv4 address of the answer
  std::string canonicalName;
};

using ResolveId = std::uint64_t;
using ResolveDone = std::function<void(const ResolveResult&)>;

// Call on the UI thread; `done` runs there later unless the lookup is cancelled first.
ResolveId ResolveHostAsync(const std::string& name, ResolveDone done);
void CancelResolve(ResolveId id);

}  // namespace kelvanor
