#pragma once
// Milliseconds of wall time and CPU time (of the calling thread or the whole process).
#include <time.h>

#include <chrono>

namespace kelvanor::bench {

inline std::chrono::nanoseconds CpuTime(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

template <typename Duration>
double Ms(Duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace kelvanor::bench
