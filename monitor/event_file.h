#pragma once
// Appending lines to the event log file, rotating it to one ".1" file before it grows
// past a size.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <deque>
#include <string>

namespace kelvanor {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct AppendOutcome {
  // The error when the name holds neither a regular file nor a character device: a FIFO,
  // for one, would hold the writer for good.
  static constexpr int kNotAFile = -1;

  std::size_t written = 0;  // lines now in the file, from the first on
  int error = 0;            // errno of the failure that stopped the rest, or kNotAFile; 0 when none
};

// Appends `lines` to `file` in order. A new (or empty) file starts with kUtf8Bom. Before
// a line that would take the file past `rotateBytes`, the file is renamed to "<file>.1"
// (replacing an older one) and a new file started; a line longer than that on its own
// gets a new file to itself. `file` may be a regular file or a character device (such as
// /dev/null), opened without waiting; anything else is refused. A write that fails keeps
// the whole lines that went in and cuts the rest back off, so lines go in as soon as they
// fit and a retry never writes half a line twice.
AppendOutcome AppendLines(const std::filesystem::path& file, const std::deque<std::string>& lines,
                          std::uintmax_t rotateBytes);

}  // namespace kelvanor
