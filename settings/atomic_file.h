#pragma once
// Replacing a file's contents the way the operator set the file up, so that a reader
// sees either the old bytes or all of the new ones wherever that can be done.
#include <string>
#include <string_view>

namespace kelvanor {

// Writes `bytes` as the contents of the file at `path`:
//  - a file this process may not write is left alone (false);
//  - a symbolic link stays a link: its final target gets the bytes;
//  - the bytes go to a new file beside the target, synced and renamed over it, keeping
//    the target's permissions;
//  - where the target's directory takes no new files, an existing target is rewritten
//    in place (not atomic, but every step checked);
//  - temporary files that killed saves left beside the target are removed first.
// False on any failure, with the temporary file removed.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace kelvanor
