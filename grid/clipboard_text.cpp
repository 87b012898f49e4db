#include "grid/clipboard_text.h"

#include <QMimeData>
#include <algorithm>

#include "platform/gbk.h"

namespace kelvanor {

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
    fields.emplace_back(TrimmedBlanks(line.substr(0, end)));
    line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  }
  return fields;
}

}  // namespace kelvanor
