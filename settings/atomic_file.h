#pragma once
// Replacing a file so that a reader sees either the old bytes or all of the new ones.
#include <string>
#include <string_view>

namespace kelvanor {

// Writes bytes to a new file beside `path`, syncs it and renames it over `path`.
// False on any failure (no space, unwritable directory, failing close or rename),
// with `path` untouched and the temporary file removed.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace kelvanor
