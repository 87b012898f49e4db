#pragma once
// The process's descriptors, threads and status numbers: what a long run must give
// back, and a lowered open-file limit for runs that must meet it.
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kelvanor::testing {

inline int EntriesOf(const char* dir) {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

// Not counting the descriptor that reads the directory.
inline int OpenDescriptors() { return EntriesOf("/proc/self/fd") - 1; }
inline int LiveThreads() { return EntriesOf("/proc/self/task"); }

// A number of /proc/self/status ("FDSize", "VmRSS" in kB ...); -1 when it has none.
inline long ProcStatus(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  return -1;
}

// Lowers the soft open-file limit for as long as it lives.
class OpenFileLimit {
 public:
  explicit OpenFileLimit(rlim_t soft) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit tight = saved_;
    tight.rlim_cur = soft;
    setrlimit(RLIMIT_NOFILE, &tight);
  }
  ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }
  OpenFileLimit(const OpenFileLimit&) = delete;

 private:
  rlimit saved_{};
};

}  // namespace kelvanor::testing
