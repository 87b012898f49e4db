#pragma once
// The XML parser checks each new attribute of an element against all the earlier ones,
// so one element with hundreds of thousands of them takes minutes to read. Such a file
// is refused before parsing, by counting.
#include <cstddef>
#include <string_view>

namespace kelvanor {

// More than any version of setting.xml writes to one element, by far.
constexpr std::size_t kMaxAttributesPerElement = 1000;

// True when some element of `xml` has more than `limit` attributes. Comments, CDATA,
// declarations and quoted values are skipped; a file cut short counts what it holds.
bool HasElementWithMoreAttributes(std::string_view xml, std::size_t limit);

}  // namespace kelvanor
