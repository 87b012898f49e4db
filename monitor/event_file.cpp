#include "monitor/event_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace kelvanor {
namespace {

// Writes `bytes`, counting in `done` what went in before a failure.
int WriteAll(int fd, std::string_view bytes, std::size_t& done) {
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Writes, into the file open as `fd`, the lines from `next` on that fit below
// `rotateBytes`; advances `next` past those that went in whole.
int AppendFitting(int fd, const struct stat& status, const std::deque<std::string>& lines, std::size_t& next,
                  std::uintmax_t rotateBytes) {
  const auto size = static_cast<std::uintmax_t>(status.st_size);
  const std::string_view header = size == 0 ? kUtf8Bom : std::string_view();
  const bool fresh = size + header.size() <= kUtf8Bom.size();
  std::string chunk(header);
  std::size_t end = next;
  while (end < lines.size() && (size + chunk.size() + lines[end].size() <= rotateBytes || (fresh && end == next)))
    chunk += lines[end++];
  std::size_t done = 0;
  const int error = WriteAll(fd, chunk, done);
  // A disk that has room again for some of a long backlog takes those lines now.
  std::size_t kept = 0;
  if (done >= header.size()) {
    kept = header.size();
    for (; next < end && kept + lines[next].size() <= done; ++next) kept += lines[next].size();
  }
  // A device keeps nothing to cut; should the cut fail, the write's failure is still the
  // one to tell.
  if (kept < done && S_ISREG(status.st_mode)) std::ignore = ftruncate(fd, static_cast<off_t>(size + kept));
  return error;
}

}  // namespace

AppendOutcome AppendLines(const std::filesystem::path& file, const std::deque<std::string>& lines,
                          std::uintmax_t rotateBytes) {
  AppendOutcome outcome;
  while (outcome.written < lines.size()) {
    // Not waiting: a FIFO without a reader fails to open (ENXIO) instead of holding the
    // writer for good; one with a reader is refused before its reader can stall a write.
    const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return {outcome.written, errno == ENXIO ? AppendOutcome::kNotAFile : errno};
    struct stat status {};
    int error = fstat(fd, &status) == 0 ? 0 : errno;
    if (!error && !S_ISREG(status.st_mode) && !S_ISCHR(status.st_mode)) error = AppendOutcome::kNotAFile;
    if (!error) error = AppendFitting(fd, status, lines, outcome.written, rotateBytes);
    if (close(fd) != 0 && !error) error = errno;
    if (error) return {outcome.written, error};
    if (outcome.written < lines.size() && std::rename(file.c_str(), (file.string() + ".1").c_str()) != 0)
      return {outcome.written, errno};
  }
  return outcome;
}

}  // namespace kelvanor
