#pragma once
// An endpoint's address mode in words: as setting.xml stores it and as the settings grid
// shows it and reads it back.
#include <optional>
#include <string>
#include <string_view>

#include "monitor/socket.h"

namespace kelvanor {

// The `mode` attribute: "4", "6" or "both", none for Auto, which is never written, so a
// default list's file stays as it always was.
const char* StoredModeText(AddressMode mode);
// An absent or unknown attribute reads as Auto.
AddressMode StoredMode(const char* text);

// The 地址族 cell: 自动, IPv4, IPv6 or 双栈 (GBK).
std::string ModeCellText(AddressMode mode);
// What an operator may type or paste for each (trimmed, any case): those words, or
// auto / 4 / v4 / 6 / v6 / both / 4+6; an empty cell is Auto. None for anything else.
std::optional<AddressMode> ModeOfCellText(std::string_view gbk);

}  // namespace kelvanor
