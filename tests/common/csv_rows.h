#pragma once
// Rows of a CSV file as RFC 4180 has them, read strictly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvanor::testing {

using Strings = std::vector<std::string>;

// A strict reader: the file's only BOM at its start, quotes only around a whole field,
// line breaks only inside quotes, every row ended by CRLF.
inline std::vector<Strings> RowsOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF"), 0u) << path;
  std::vector<Strings> rows(1);
  std::string field;
  bool quoted = false, closed = false;
  for (std::size_t i = 3; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (quoted) {
      if (c != '"') field += c;
      else if (bytes[i + 1] == '"') field += bytes[++i];
      else quoted = false, closed = true;
    } else if (c == ',' || (c == '\r' && bytes[i + 1] == '\n')) {
      rows.back().push_back(std::exchange(field, {}));
      closed = false;
      if (c == '\r') rows.emplace_back(), ++i;
    } else {
      EXPECT_TRUE(!closed && c != '\r' && c != '\n' && (c != '"' || field.empty())) << "stray byte at " << i;
      c == '"' ? void(quoted = true) : void(field += c);
    }
  }
  EXPECT_TRUE(field.empty() && !quoted && rows.back().empty()) << "the last row must end in CRLF";
  rows.pop_back();
  return rows;
}

}  // namespace kelvanor::testing
