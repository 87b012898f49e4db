#pragma once
// The configured fields of a settings record as one line, so that a test compares whole
// records at once and a failure shows every field.
#include <string>

#include "monitor/endpoint_list.h"

namespace kelvanor::test {

inline std::string Describe(const SettingData& s) {
  std::string text = std::to_string(s.refreshTime) + " " + std::to_string(s.soundType) + " [" + s.soundFile + "]";
  for (const IPInfo& e : s.ipList) text += " " + e.ip + ":" + std::to_string(e.port) + "[" + e.remark + "]";
  return text;
}

}  // namespace kelvanor::test
