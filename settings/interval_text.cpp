#include "settings/interval_text.h"

#include <cctype>
#include <limits>

namespace kelvanor {
namespace {
bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

IntervalText ParseIntervalText(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return {IntervalText::NotInteger, 0};
  // Accumulated as a negative number, which holds INT32_MIN.
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  bool overflow = false;
  for (char c : text) {
    if (!IsDigit(c)) return {IntervalText::NotInteger, 0};
    value = value * 10 - (c - '0');
    if (value < kMin) {
      overflow = true;
      value = kMin;
    }
  }
  if (!negative) value = -value;
  if (overflow || value > std::numeric_limits<std::int32_t>::max()) return {IntervalText::OutOfRange, 0};
  return {IntervalText::Ok, static_cast<std::int32_t>(value)};
}

}  // namespace kelvanor
