#pragma once
// Makes every write past `bytes` fail as on a full disk, for as long as it lives: a
// file-size limit whose signal is ignored, so the write returns an error instead.
#include <sys/resource.h>

#include <csignal>

namespace kelvanor::test {

class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes = 64) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

}  // namespace kelvanor::test
