#include "settings/endpoint_lines.h"

#include "platform/gbk.h"
#include "settings/address_mode_text.h"
#include "settings/int_scan.h"

namespace kelvanor {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

std::vector<std::string> SplitOnTabs(std::string_view line) {
  std::vector<std::string> fields;
  for (;;) {
    const size_t tab = line.find('\t');
    fields.emplace_back(TrimmedBlanks(line.substr(0, tab)));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

// RFC 4180 fields; blanks around a field are not part of it. Null on a broken quote.
std::optional<std::vector<std::string>> SplitCsv(std::string_view line) {
  std::vector<std::string> fields;
  for (;;) {
    std::string_view rest = TrimmedBlanks(line);
    std::string field;
    if (!rest.empty() && rest.front() == '"') {
      size_t i = 1;
      for (;; ++i) {
        if (i >= rest.size()) return std::nullopt;  // the quote never closes
        if (rest[i] != '"') {
          field += rest[i];
        } else if (i + 1 < rest.size() && rest[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          break;
        }
      }
      rest.remove_prefix(i + 1);
      while (!rest.empty() && IsBlankByte(rest.front())) rest.remove_prefix(1);
      if (!rest.empty() && rest.front() != ',') return std::nullopt;  // text after the closing quote
    } else {
      field = TrimmedBlanks(rest.substr(0, rest.find(',')));
      rest.remove_prefix(std::min(rest.find(','), rest.size()));
    }
    fields.push_back(std::move(field));
    if (rest.empty()) return fields;
    line = rest.substr(1);
  }
}

std::optional<EndpointLine> FromFields(std::vector<std::string> fields) {
  if (fields.size() < 2 || fields.size() > 4) return std::nullopt;
  fields.resize(4);
  return EndpointLine{fields[0], fields[1], fields[2], fields[3]};
}

// "host:port remark": the first word holds the address and the port, an IPv6 address in
// brackets. The brackets only set the port apart, so "[::1]:80" is stored as "::1", the
// way the grid takes an address typed into it.
std::optional<EndpointLine> FromHostPort(std::string_view line) {
  const size_t wordEnd = std::min(line.find_first_of(" \t"), line.size());
  std::string_view word = line.substr(0, wordEnd);
  const size_t colon = word.rfind(':');
  std::string_view address = word.substr(0, colon);
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
    address = address.substr(1, address.size() - 2);
  else if (address.find(':') != std::string_view::npos)
    return std::nullopt;
  return EndpointLine{std::string(address), std::string(word.substr(colon + 1)),
                      std::string(TrimmedBlanks(line.substr(wordEnd))), {}};
}

std::optional<EndpointLine> Checked(std::optional<EndpointLine> endpoint) {
  if (!endpoint || endpoint->ip.empty() || !ModeOfCellText(endpoint->mode)) return std::nullopt;
  for (const char c : endpoint->ip)
    if (IsBlankByte(c)) return std::nullopt;
  const std::string_view digits = TrimmedBlanks(endpoint->port);
  if (const std::optional<std::uint16_t> port = ParsePort(digits)) {
    endpoint->port = std::to_string(*port);
  } else if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  } else {
    endpoint->port = std::string(digits);  // out of range: the dialog names it
  }
  return endpoint;
}

}  // namespace

std::optional<EndpointLine> ReadEndpointLine(std::string_view line) {
  line = TrimmedBlanks(line);
  if (line.find('\t') != std::string_view::npos) {
    // The trim above already dropped a spreadsheet's empty trailing columns.
    return Checked(FromFields(SplitOnTabs(line)));
  }
  const std::string_view word = line.substr(0, line.find(' '));
  if (word.find(':') != std::string_view::npos && word.find(',') == std::string_view::npos) {
    // "::1 ,80" starts like an unbracketed host:port, yet is a CSV row.
    if (std::optional<EndpointLine> endpoint = Checked(FromHostPort(line))) return endpoint;
  }
  if (line.find(',') == std::string_view::npos) return std::nullopt;
  const std::optional<std::vector<std::string>> fields = SplitCsv(line);
  return fields ? Checked(FromFields(*fields)) : std::nullopt;
}

EndpointLines ReadEndpointLines(std::string_view text) {
  EndpointLines result;
  int number = 0;
  for (const std::string_view line : Lines(text)) {
    ++number;
    const std::string_view content = TrimmedBlanks(line);
    if (content.empty() || content.front() == '#') continue;
    if (std::optional<EndpointLine> endpoint = ReadEndpointLine(content)) {
      result.endpoints.push_back(std::move(*endpoint));
    } else {
      result.unreadLines.push_back(number);
    }
  }
  return result;
}

bool IsEndpointList(std::string_view text) {
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.size() != 1) return lines.size() > 1;
  return ReadEndpointLine(lines.front()).has_value();
}

}  // namespace kelvanor
