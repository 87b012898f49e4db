#include "settings/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvanor {
namespace {

namespace fs = std::filesystem;

std::string TemporaryPrefix(const fs::path& target) { return target.filename().string() + ".tmp-"; }

std::string TemporaryNameBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  return (target.parent_path() / (TemporaryPrefix(target) + std::to_string(getpid()) + "-" +
                                  std::to_string(counter++))).string();
}

// "<prefix><pid>-<n>" of a process that is gone.
bool IsLeftover(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return false;
  name.remove_prefix(prefix.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  if (error != std::errc() || end == name.data() + name.size() || *end != '-' || pid <= 0) return false;
  return kill(pid, 0) == -1 && errno == ESRCH;
}

void RemoveLeftoversBeside(const fs::path& target) {
  const std::string prefix = TemporaryPrefix(target);
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::error_code error;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
    if (IsLeftover(it->path().filename().string(), prefix)) fs::remove(it->path(), error);
}

// The file a chain of symbolic links ends at (relative links are read from their own
// directory); the path itself when it is no link.
fs::path FinalTarget(fs::path path) {
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(path, error)) break;
    const fs::path link = fs::read_symlink(path, error);
    if (error) break;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return path;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The directory entry of the rename must reach the disk too, or a crash right after
// a successful save could bring back the old file.
void SyncDirectoryOf(const fs::path& target) {
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Overwriting before cutting reuses the blocks the old bytes hold, so a nearly full disk
// still takes a file no longer than before.
bool RewriteInPlace(const fs::path& target, std::string_view bytes) {
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  return ok;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const fs::path target = FinalTarget(path);
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
  RemoveLeftoversBeside(target);
  const std::string temporary = TemporaryNameBeside(target);
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return exists && (errno == EACCES || errno == EPERM) && RewriteInPlace(target, bytes);
  bool ok = WriteAll(fd, bytes);
  // Keep the permissions the operator gave the previous file.
  if (ok && exists) ok = fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  SyncDirectoryOf(target);
  return true;
}

}  // namespace kelvanor
