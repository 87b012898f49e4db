// Reading a pasted endpoint list: the three line forms (IPv6 and the address mode
// included), what is skipped, what is refused, and which pastes count as a list at all.
#include <gtest/gtest.h>

#include "settings/endpoint_lines.h"

namespace kelvanor::test {
namespace {

TEST(EndpointLine, ReadsTheAddressPortAndRemarkOrRefusesTheLine) {
  const std::tuple<const char*, std::string, std::optional<EndpointLine>> cases[] = {
      {"TabSeparatedWithoutRemark", "db\t5432", EndpointLine{"db", "5432", ""}},
      {"TabSeparatedTrailingEmptyColumns", " a \t 22 \t r \t\t", EndpointLine{"a", "22", "r"}},
      {"TabSeparatedWithAddressMode", "::1\t22\tr\t IPv6", EndpointLine{"::1", "22", "r", "IPv6"}},
      {"CommaSeparatedWithAddressMode", "h,443,,both", EndpointLine{"h", "443", "", "both"}},
      {"UnknownAddressMode", "a\t22\tr\tx", std::nullopt},
      {"TabSeparatedFiveColumns", "a\t22\tr\t4\tx", std::nullopt},
      {"BracketedIpv6HostPort", "[2001:DB8::1]:443 x", EndpointLine{"2001:DB8::1", "443", "x"}},
      {"BracketedLoopbackWithoutRemark", "[::1]:80", EndpointLine{"::1", "80", ""}},
      {"BracketsWithoutPort", "[::1] x", std::nullopt},
      {"UnbracketedIpv6WithPortIsAmbiguous", "2001:db8::1:80", std::nullopt},
      {"CommaSeparatedIpv6BlankBeforeComma", "::1 , 80,r,4", EndpointLine{"::1", "80", "r", "4"}},
      {"CommaSeparated", "h, 443 ,remark", EndpointLine{"h", "443", "remark"}},
      {"QuotedRemarkHoldsCommasAndQuotes", R"(h,80,"a, b ""c""")", EndpointLine{"h", "80", R"(a, b "c")"}},
      {"QuotedAddressAndPort", R"("h","8080", "")", EndpointLine{"h", "8080", ""}},
      {"UnclosedQuote", R"(h,80,"open)", std::nullopt},
      {"TextAfterClosingQuote", R"(h,"80"x)", std::nullopt},
      {"HostPortRemark", "mail.example:25  smtp relay ", EndpointLine{"mail.example", "25", "smtp relay"}},
      {"HostPortWithoutRemark", "127.0.0.1:65535", EndpointLine{"127.0.0.1", "65535", ""}},
      {"HostPortRemarkWithComma", "h:80 a, b", EndpointLine{"h", "80", "a, b"}},
      {"PortWithLeadingZeros", "h:0080", EndpointLine{"h", "80", ""}},
      {"PortZero", "h:0", EndpointLine{"h", "0", ""}},
      {"PortTooLargeKeptAsWritten", "h, 065536 ", EndpointLine{"h", "065536", ""}},
      {"PortWithSign", "h:+80", std::nullopt},
      {"PortWithLetter", "h:8O80", std::nullopt},
      {"EmptyAddress", ":80", std::nullopt},
      {"AddressWithBlank", "a b,80", std::nullopt},
      {"AddressAlone", "10.0.0.1", std::nullopt},
      {"PortAlone", "8080", std::nullopt},
  };
  for (const auto& [name, line, expected] : cases) EXPECT_EQ(ReadEndpointLine(line), expected) << name;
}

TEST(EndpointLines, SkipBlankAndCommentLinesAndNumberTheUnreadOnes) {
  const EndpointLines list = ReadEndpointLines("# servers\r\na:1\r\n\r\n   \nnonsense\n  # b:2\nb\t2\nc,x\n");
  EXPECT_EQ(list.endpoints, (std::vector<EndpointLine>{{"a", "1", ""}, {"b", "2", ""}}));
  EXPECT_EQ(list.unreadLines, (std::vector<int>{5, 8}));
}

TEST(EndpointLines, AListIsSeveralLinesOrOneEndpointLine) {
  const std::pair<const char*, bool> cases[] = {
      {"a\nb", true},      {"x\n\n", true},          {"h:80", true},  {"h\t80\tr\n", true},
      {"h\t80\r\n", true}, {"plain text", false},    {"8080\n", false}, {"a\tb", false},
      {"", false},         {"10.0.0.1", false},
  };
  for (const auto& [text, list] : cases) EXPECT_EQ(IsEndpointList(text), list) << text;
}

}  // namespace
}  // namespace kelvanor::test
