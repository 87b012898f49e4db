#pragma once
// The grid's clipboard text: GBK bytes inside the grid, Unicode on the clipboard so that
// other programs read it, and the splitting of pasted text into lines and fields.
#include <string>
#include <string_view>
#include <vector>

class QMimeData;

namespace kelvanor {

// New clipboard data holding the GBK text as plain Unicode text; the caller owns it.
QMimeData* MakeClipboardData(const std::string& gbk);
// Whether the data offers plain text.
bool HasClipboardText(const QMimeData* data);
// The data's plain text as GBK, up to its first zero byte.
std::string ClipboardGbkText(const QMimeData* data);

// The fields of one pasted line: each tab or comma ends a field, a separator at the end of
// the line adds none, and every field is trimmed of surrounding white space.
std::vector<std::string> SplitPastedLine(std::string_view line);

}  // namespace kelvanor
