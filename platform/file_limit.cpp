#include "platform/file_limit.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace kelvanor {
namespace {

// Beyond this the table is left to grow on demand: it takes 8 bytes a descriptor.
constexpr rlim_t kMaxGrownDescriptors = 1 << 20;

// The kernel sizes the table for the highest descriptor ever used: taking the last one
// the limit allows, for a moment, grows it once to its full size. F_DUPFD never takes a
// descriptor in use, so a late call cannot close another thread's file.
void GrowDescriptorTable(rlim_t limit) {
  const int highest = static_cast<int>(std::min<rlim_t>(limit, kMaxGrownDescriptors)) - 1;
  if (highest < 0) return;
  const int any = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (any == -1) return;
  const int grown = fcntl(any, F_DUPFD_CLOEXEC, highest);
  if (grown != -1) close(grown);
  close(any);
}

}  // namespace

long RaiseOpenFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  if (limit.rlim_cur != limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) getrlimit(RLIMIT_NOFILE, &limit);
  }
  GrowDescriptorTable(limit.rlim_cur);
  return limit.rlim_cur == RLIM_INFINITY ? -1 : static_cast<long>(limit.rlim_cur);
}

std::size_t ProbeDescriptorWindow() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
  const auto soft = static_cast<std::size_t>(limit.rlim_cur);
  return std::max(soft - std::min(soft, kReservedDescriptors), soft / 2);
}

}  // namespace kelvanor
