#include "monitor/event_line.h"

#include <ctime>

#include "platform/gbk.h"
#include "platform/socket_address.h"

namespace kelvanor {
namespace {

std::string OutcomeText(EventOutcome outcome) {
  switch (outcome) {
    case EventOutcome::Connected: return reinterpret_cast<const char*>(u8"正常");
    case EventOutcome::Failed: return reinterpret_cast<const char*>(u8"异常");
    case EventOutcome::Slow: return reinterpret_cast<const char*>(u8"缓慢");
    case EventOutcome::None: break;
  }
  return reinterpret_cast<const char*>(u8"未检测");
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string_view("\"\"") : std::string_view(&c, 1);
  return quoted + '"';
}

std::string LocalIsoTime(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string stamp(text, length);
  stamp.insert(stamp.size() - 2, 1, ':');  // %z gives +0800; the extended form the rest uses wants +08:00
  return stamp;
}

std::string EventLine(const EventRecord& record) {
  const std::string fields[] = {
      LocalIsoTime(record.when),        GbkToUtf8(AddressText(record.ip)),      std::to_string(record.port),
      GbkToUtf8(record.remark),         OutcomeText(record.before), OutcomeText(record.after),
      GbkToUtf8(record.text),           record.connectMs ? std::to_string(*record.connectMs) : std::string()};
  std::string line = CsvField(fields[0]);
  for (std::size_t i = 1; i < std::size(fields); ++i) line += ',' + CsvField(fields[i]);
  return line + "\r\n";
}

}  // namespace kelvanor
