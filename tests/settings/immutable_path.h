#pragma once
// Makes a file or directory immutable for as long as it lives. Unlike permission bits
// this holds for root too, which the tests run as. ok() is false where the file system
// has no such flag.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace kelvanor::test {

class ImmutablePath {
 public:
  explicit ImmutablePath(const std::filesystem::path& path) : fd_(open(path.c_str(), O_RDONLY)) {
    ok_ = fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags_) == 0;
    int immutable = flags_ | FS_IMMUTABLE_FL;
    ok_ = ok_ && ioctl(fd_, FS_IOC_SETFLAGS, &immutable) == 0;
  }
  ~ImmutablePath() {
    if (ok_) ioctl(fd_, FS_IOC_SETFLAGS, &flags_);
    if (fd_ >= 0) close(fd_);
  }
  ImmutablePath(const ImmutablePath&) = delete;
  ImmutablePath& operator=(const ImmutablePath&) = delete;
  bool ok() const { return ok_; }

 private:
  int fd_;
  int flags_ = 0;
  bool ok_ = false;
};

}  // namespace kelvanor::test
