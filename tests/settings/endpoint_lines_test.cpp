// Reading a pasted endpoint list: the three line forms, what is skipped, what is refused,
// and which pastes count as a list at all.
#include <gtest/gtest.h>

#include "settings/endpoint_lines.h"

namespace kelvanor::test {
namespace {

struct LineCase {
  const char* name;
  std::string line;
  std::optional<EndpointLine> expected;
};

class EndpointLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(EndpointLineTest, ReadsTheAddressPortAndRemarkOrRefusesTheLine) {
  EXPECT_EQ(ReadEndpointLine(GetParam().line), GetParam().expected);
}


INSTANTIATE_TEST_SUITE_P(
    Forms, EndpointLineTest,
    ::testing::Values(
        LineCase{"TabSeparatedWithoutRemark", "db\t5432", EndpointLine{"db", "5432", ""}},
        LineCase{"TabSeparatedTrailingEmptyColumns", " a \t 22 \t r \t\t", EndpointLine{"a", "22", "r"}},
        LineCase{"TabSeparatedFourColumns", "a\t22\tr\tx", std::nullopt},
        LineCase{"CommaSeparated", "h, 443 ,remark", EndpointLine{"h", "443", "remark"}},
        LineCase{"QuotedRemarkHoldsCommasAndQuotes", R"(h,80,"a, b ""c""")", EndpointLine{"h", "80", R"(a, b "c")"}},
        LineCase{"QuotedAddressAndPort", R"("h","8080", "")", EndpointLine{"h", "8080", ""}},
        LineCase{"UnclosedQuote", R"(h,80,"open)", std::nullopt},
        LineCase{"TextAfterClosingQuote", R"(h,"80"x)", std::nullopt},
        LineCase{"HostPortRemark", "mail.example:25  smtp relay ", EndpointLine{"mail.example", "25", "smtp relay"}},
        LineCase{"HostPortWithoutRemark", "127.0.0.1:65535", EndpointLine{"127.0.0.1", "65535", ""}},
        LineCase{"HostPortRemarkWithComma", "h:80 a, b", EndpointLine{"h", "80", "a, b"}},
        LineCase{"PortWithLeadingZeros", "h:0080", EndpointLine{"h", "80", ""}},
        LineCase{"PortTooLarge", "h,65536", std::nullopt},
        LineCase{"PortWithLetter", "h:8O80", std::nullopt},
        LineCase{"EmptyAddress", ":80", std::nullopt},
        LineCase{"AddressWithBlank", "a b,80", std::nullopt},
        LineCase{"AddressAlone", "10.0.0.1", std::nullopt},
        LineCase{"PortAlone", "8080", std::nullopt}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

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
