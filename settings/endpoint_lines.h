#pragma once
// Reading a pasted list of endpoints, one per line, in the forms people copy them from:
//   a spreadsheet row       10.0.0.1<TAB>80<TAB>remark<TAB>IPv6
//   comma-separated values  10.0.0.1,80,"remark, with ""quotes""",IPv6   (RFC 4180 quoting)
//   host:port remark        10.0.0.1:80 remark   or   [2001:db8::1]:80 remark
// In the first two the remark and the address mode (as the grid's 地址族 column reads it)
// may be left out. An IPv6 address with a port comes in brackets, which are dropped:
// without them 2001:db8::1:80 could be either, so such a line is not read.
// Blank lines and lines starting with # are skipped. Texts are GBK bytes; every
// delimiter is ASCII below 0x40, so no GBK trail byte is mistaken for one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvanor {

// The texts of one endpoint row: address, port in decimal, remark and address mode (each
// may be empty).
struct EndpointLine {
  std::string ip;
  std::string port;
  std::string remark;
  std::string mode = {};  // as written, e.g. "ipv6"; a row without one may leave it out
  bool operator==(const EndpointLine&) const = default;
};

struct EndpointLines {
  std::vector<EndpointLine> endpoints;  // in the order of the text
  std::vector<int> unreadLines;         // 1-based numbers of lines that are no endpoint
};

// One line, without its line break: an endpoint when it has a non-empty address without
// blanks, a port in decimal and at most a remark and an address mode besides. A port from 1 to 65535 comes
// without leading zeros; one outside that range, as written.
std::optional<EndpointLine> ReadEndpointLine(std::string_view line);

// Every line of `text` (LF or CRLF line breaks).
EndpointLines ReadEndpointLines(std::string_view text);

// Whether a paste is a list rather than cell text: more than one line (a final line
// break does not start another), or a single line that reads as an endpoint.
bool IsEndpointList(std::string_view text);

}  // namespace kelvanor
