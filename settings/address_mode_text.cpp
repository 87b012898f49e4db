#include "settings/address_mode_text.h"

#include <algorithm>
#include <cstring>

#include "platform/gbk.h"

namespace kelvanor {

const char* StoredModeText(AddressMode mode) {
  switch (mode) {
    case AddressMode::V4: return "4";
    case AddressMode::V6: return "6";
    case AddressMode::Both: return "both";
    case AddressMode::Auto: break;
  }
  return nullptr;
}

AddressMode StoredMode(const char* text) {
  for (AddressMode mode : {AddressMode::V4, AddressMode::V6, AddressMode::Both})
    if (text && std::strcmp(text, StoredModeText(mode)) == 0) return mode;
  return AddressMode::Auto;
}

std::string ModeCellText(AddressMode mode) {
  switch (mode) {
    case AddressMode::V4: return "IPv4";
    case AddressMode::V6: return "IPv6";
    case AddressMode::Both: return Gbk(u8"双栈");
    case AddressMode::Auto: break;
  }
  return Gbk(u8"自动");
}

std::optional<AddressMode> ModeOfCellText(std::string_view gbk) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!gbk.empty() && blank(gbk.front())) gbk.remove_prefix(1);
  while (!gbk.empty() && blank(gbk.back())) gbk.remove_suffix(1);
  std::string text(gbk);
  // Lower case for ASCII only: a GBK byte pair is never altered by it.
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  struct Word {
    std::string text;
    AddressMode mode;
  };
  static const Word words[] = {{"", AddressMode::Auto},      {Gbk(u8"自动"), AddressMode::Auto},
                               {"auto", AddressMode::Auto},  {"ipv4", AddressMode::V4},
                               {"v4", AddressMode::V4},      {"4", AddressMode::V4},
                               {"ipv6", AddressMode::V6},    {"v6", AddressMode::V6},
                               {"6", AddressMode::V6},       {Gbk(u8"双栈"), AddressMode::Both},
                               {"both", AddressMode::Both},  {"4+6", AddressMode::Both}};
  for (const Word& word : words)
    if (text == word.text) return word.mode;
  return std::nullopt;
}

}  // namespace kelvanor
