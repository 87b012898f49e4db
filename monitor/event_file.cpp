#include "monitor/event_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvanor {
namespace {

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Writes, into the file open as `fd` and `size` bytes long, the lines from `next` on that
// fit below `rotateBytes`; advances `next` past them.
int AppendFitting(int fd, std::uintmax_t size, const std::deque<std::string>& lines, std::size_t& next,
                  std::uintmax_t rotateBytes) {
  std::string chunk = size == 0 ? std::string(kUtf8Bom) : std::string();
  const bool fresh = size + chunk.size() <= kUtf8Bom.size();
  std::size_t end = next;
  while (end < lines.size() && (size + chunk.size() + lines[end].size() <= rotateBytes || (fresh && end == next)))
    chunk += lines[end++];
  if (chunk.empty()) return 0;
  if (const int error = WriteAll(fd, chunk)) {
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) return errno;
    return error;
  }
  next = end;
  return 0;
}

}  // namespace

AppendOutcome AppendLines(const std::filesystem::path& file, const std::deque<std::string>& lines,
                          std::uintmax_t rotateBytes) {
  AppendOutcome outcome;
  while (outcome.written < lines.size()) {
    const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return {outcome.written, errno};
    struct stat status {};
    int error = fstat(fd, &status) == 0 ? 0 : errno;
    if (!error) error = AppendFitting(fd, static_cast<std::uintmax_t>(status.st_size), lines, outcome.written, rotateBytes);
    if (close(fd) != 0 && !error) error = errno;
    if (error) return {outcome.written, error};
    if (outcome.written < lines.size() && std::rename(file.c_str(), (file.string() + ".1").c_str()) != 0)
      return {outcome.written, errno};
  }
  return outcome;
}

}  // namespace kelvanor
