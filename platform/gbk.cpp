#include "platform/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace kelvanor {
namespace {

// Length of the UTF-8 sequence that starts with byte b (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char b) {
  if (b >= 0xF0 && b < 0xF8) return 4;
  if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
  if (b >= 0xC0) return 2;
  return 1;
}

// Length of the GBK character that starts with byte b.
size_t GbkSequenceLength(unsigned char b) { return (b >= 0x81 && b <= 0xFE) ? 2 : 1; }

std::string Convert(const char* to, const char* from, std::string_view in,
                    size_t (*skipLength)(unsigned char)) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 2);
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated at the end): replace one character and go on.
    size_t skip = std::min(srcLeft, skipLength(static_cast<unsigned char>(*src)));
    out.push_back('?');
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return Convert("UTF-8", "GBK", gbk, GbkSequenceLength);
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Convert("GBK", "UTF-8", utf8, Utf8SequenceLength);
}

QString GbkToQString(std::string_view gbk) {
  if (IsAscii(gbk)) return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
  return QString::fromStdString(GbkToUtf8(gbk));
}

std::string QStringToGbk(const QString& text) { return Utf8ToGbk(text.toStdString()); }

std::string_view TrimmedBlanks(std::string_view gbk) {
  while (!gbk.empty() && IsBlankByte(gbk.front())) gbk.remove_prefix(1);
  while (!gbk.empty() && IsBlankByte(gbk.back())) gbk.remove_suffix(1);
  return gbk;
}

}  // namespace kelvanor
