#include "settings/attribute_count.h"

namespace kelvanor {
namespace {

// Markup that holds no attributes, by how it opens and closes.
constexpr struct {
  std::string_view open, close;
} kSkipped[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};

}  // namespace

bool HasElementWithMoreAttributes(std::string_view xml, std::size_t limit) {
  std::size_t at = xml.find('<');
  while (at != std::string_view::npos) {
    bool skipped = false;
    for (const auto& markup : kSkipped) {
      if (xml.substr(at, markup.open.size()) != markup.open) continue;
      const std::size_t end = xml.find(markup.close, at + markup.open.size());
      if (end == std::string_view::npos) return false;
      at = xml.find('<', end + markup.close.size());
      skipped = true;
      break;
    }
    if (skipped) continue;
    // A tag: every '=' outside a quoted value starts an attribute's value.
    std::size_t attributes = 0;
    char quote = 0;
    for (++at; at < xml.size(); ++at) {
      const char c = xml[at];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '=') {
        if (++attributes > limit) return true;
      } else if (c == '>') {
        break;
      }
    }
    at = xml.find('<', at);
  }
  return false;
}

}  // namespace kelvanor
