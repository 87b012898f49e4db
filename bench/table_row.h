#pragma once
// One row of the table bench/run.sh prints:
// | figure | Kelvanor | baseline | ratio | target | met |
#include <cstdio>
#include <string>

namespace kelvanor::bench {

inline std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

inline std::string Millis(double ms) { return Format("%.2f ms", ms); }

// 10000 as "10,000".
inline std::string Grouped(int n) {
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

inline void PrintRow(const std::string& figure, const std::string& ours, const std::string& baseline,
                     const std::string& ratio, const std::string& target, const std::string& met) {
  std::printf("| %s | %s | %s | %s | %s | %s |\n", figure.c_str(), ours.c_str(), baseline.c_str(), ratio.c_str(),
              target.c_str(), met.c_str());
  std::fflush(stdout);
}

inline const char* Met(bool met) { return met ? "yes" : "no"; }

}  // namespace kelvanor::bench
