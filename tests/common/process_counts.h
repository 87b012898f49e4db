#pragma once
// The process's descriptors and threads: what a long run must give back, and a lowered
// open-file limit for runs that must meet it.
#include <sys/resource.h>

#include <filesystem>
#include <iterator>

namespace kelvanor::testing {

inline int EntriesOf(const char* dir) {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

// Not counting the descriptor that reads the directory.
inline int OpenDescriptors() { return EntriesOf("/proc/self/fd") - 1; }
inline int LiveThreads() { return EntriesOf("/proc/self/task"); }

// Lowers the soft open-file limit for as long as it lives.
class OpenFileLimit {
 public:
  explicit OpenFileLimit(rlim_t soft) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit tight = saved_;
    tight.rlim_cur = soft;
    ok_ = setrlimit(RLIMIT_NOFILE, &tight) == 0;
  }
  ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }
  OpenFileLimit(const OpenFileLimit&) = delete;
  bool ok() const { return ok_; }
  rlim_t hard() const { return saved_.rlim_max; }

 private:
  rlimit saved_{};
  bool ok_ = false;
};

}  // namespace kelvanor::testing
