#pragma once
// Integer texts: attribute text read the way a C "%d" conversion reads it, and the strict
// reading of a port typed by the operator.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvanor {

// Leading white space, an optional sign, then decimal digits up to the first other
// character; no digits gives 0. Values beyond 32 bits saturate at INT32_MIN/INT32_MAX.
std::int32_t ScanInt(const char* text);

// A TCP port: only decimal digits, with blanks around them allowed, worth 1 to 65535.
// Anything else (a sign, letters, an empty text, 0, 65536) has no value.
std::optional<std::uint16_t> ParsePort(std::string_view text);

}  // namespace kelvanor
