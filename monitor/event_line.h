#pragma once
// One change of an endpoint's outcome as a line of the event log: CSV as RFC 4180 has
// it, UTF-8, so that spreadsheets open the file as it is.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvanor {

// An endpoint's last outcome; None before its first.
enum class EventOutcome { None, Connected, Failed, Slow };

struct EventRecord {
  std::chrono::system_clock::time_point when;
  std::string ip;  // GBK, like every text below
  std::int32_t port = 0;
  std::string remark;
  EventOutcome before = EventOutcome::None;
  EventOutcome after = EventOutcome::None;
  std::string text;                        // the result text the tile shows
  std::optional<std::int64_t> connectMs;  // none when no connect completed
};

// The text as one CSV field: quoted, its quotes doubled, when it holds a comma, a quote,
// CR or LF.
std::string CsvField(std::string_view text);

// Local time with its UTC offset ("2026-12-08T22:02:31+08:00"): at the autumn clock
// change an hour repeats, and only the offset tells its two halves apart.
std::string LocalIsoTime(std::chrono::system_clock::time_point when);

// time, address, port, remark, old outcome, new outcome, text, connect ms; ends in CRLF.
std::string EventLine(const EventRecord& record);

}  // namespace kelvanor
