#pragma once
// Integer attribute text read the way a C "%d" conversion reads it.
#include <cstdint>

namespace kelvanor {

// Leading white space, an optional sign, then decimal digits up to the first other
// character; no digits gives 0. Values beyond 32 bits saturate at INT32_MIN/INT32_MAX.
std::int32_t ScanInt(const char* text);

}  // namespace kelvanor
