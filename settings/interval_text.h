#pragma once
// Reading the refresh interval box: the whole text must be one signed 32-bit integer.
#include <cstdint>
#include <string_view>

namespace kelvanor {

struct IntervalText {
  enum Status { Ok, NotInteger, OutOfRange } status;
  std::int32_t value;  // meaningful when status is Ok
};

// Blanks around the number are allowed, an optional sign, then at least one digit and
// nothing else.
IntervalText ParseIntervalText(std::string_view text);

}  // namespace kelvanor
