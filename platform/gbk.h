#pragma once
// The program keeps every text as GBK bytes; these convert at the Qt/OS boundary only.
#include <QString>
#include <string>
#include <string_view>

namespace kelvanor {

// GBK bytes -> UTF-8 bytes. A byte sequence that is not valid GBK becomes '?'.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 bytes -> GBK bytes. A character GBK cannot hold (or broken UTF-8) becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);

QString GbkToQString(std::string_view gbk);
std::string QStringToGbk(const QString& text);

// The white space the platform's trimming removes; GBK trail bytes are never among it.
inline bool IsBlankByte(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
std::string_view TrimmedBlanks(std::string_view gbk);

// Fixed texts are written in UTF-8 in the sources and turned into GBK here, so the
// compiler's execution character set never matters.
inline std::string Gbk(const char8_t* utf8) {
  return Utf8ToGbk(reinterpret_cast<const char*>(utf8));
}

}  // namespace kelvanor
