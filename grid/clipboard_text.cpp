#include "grid/clipboard_text.h"

#include <QMimeData>
#include <algorithm>

#include "platform/gbk.h"

namespace kelvanor {

namespace {

// The white space the platform's trimming removes (GBK trail bytes are never among it).
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string Trimmed(std::string_view field) {
  while (!field.empty() && IsSpace(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsSpace(field.back())) field.remove_suffix(1);
  return std::string(field);
}

}  // namespace

QMimeData* MakeClipboardData(const std::string& gbk) {
  auto* data = new QMimeData;
  data->setText(GbkToQString(gbk));
  return data;
}

bool HasClipboardText(const QMimeData* data) { return data && data->hasText(); }

std::string ClipboardGbkText(const QMimeData* data) {
  std::string text = QStringToGbk(data->text());
  text.resize(std::min(text.find('\0'), text.size()));
  return text;
}

std::vector<std::string> SplitPastedLine(std::string_view line) {
  std::vector<std::string> fields;
  while (!line.empty()) {
    const size_t end = line.find_first_of("\t,");
    fields.push_back(Trimmed(line.substr(0, end)));
    line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  }
  return fields;
}

}  // namespace kelvanor
