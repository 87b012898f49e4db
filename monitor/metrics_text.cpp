#include "monitor/metrics_text.h"

#include <charconv>
#include <iterator>

#include "platform/gbk.h"
#include "platform/socket_address.h"

namespace kelvanor {
namespace {

// Per endpoint, in the blackbox exporter's shape; an endpoint without the value has no line.
struct EndpointFamily {
  const char* name;
  const char* type;
  const char* help;
  std::optional<double> (*value)(const IPInfo&);
};

double Seconds(std::chrono::system_clock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

const EndpointFamily kEndpointFamilies[] = {
    {"kelvanor_probe_success", "gauge", "1 if the endpoint's last probe connected, 0 if it failed.",
     [](const IPInfo& e) -> std::optional<double> {
       if (!e.lastOutcome) return std::nullopt;
       return *e.lastOutcome == Connected ? 1 : 0;
     }},
    {"kelvanor_probe_connect_seconds", "gauge", "Connect time of the endpoint's last successful probe.",
     [](const IPInfo& e) -> std::optional<double> {
       if (!e.history.connectMs) return std::nullopt;
       return *e.history.connectMs / 1000.0;
     }},
    {"kelvanor_probe_failures", "counter", "Failed probe cycles of the endpoint since the program started.",
     [](const IPInfo& e) -> std::optional<double> { return static_cast<double>(e.history.failedCycles); }},
    {"kelvanor_last_change_timestamp_seconds", "gauge", "When the endpoint's last outcome last changed.",
     [](const IPInfo& e) -> std::optional<double> {
       if (!e.lastOutcome) return std::nullopt;
       return Seconds(e.history.changedAt);
     }},
};
constexpr std::size_t kTotalsFamily = std::size(kEndpointFamilies);

// The shortest text that reads back as the same number.
void Append(std::string& out, double value) {
  char text[32];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

std::string EscapedLabel(std::string_view utf8) {
  std::string escaped;
  escaped.reserve(utf8.size());
  for (char c : utf8) {
    if (c == '\\' || c == '"') escaped += '\\';
    if (c == '\n') {
      escaped += "\\n";
      continue;
    }
    escaped += c;
  }
  return escaped;
}

const char* MetricsScrape::ContentType() const {
  return openMetrics_ ? "application/openmetrics-text; version=1.0.0; charset=utf-8"
                      : "text/plain; version=0.0.4; charset=utf-8";
}

// The text format names a counter's family by its sample; OpenMetrics by the name without
// the _total its sample carries.
void MetricsScrape::Family(std::size_t family, std::string& out) const {
  const EndpointFamily& f = kEndpointFamilies[family];
  const bool counter = std::string_view(f.type) == "counter";
  const std::string name = std::string(f.name) + (counter && !openMetrics_ ? "_total" : "");
  out += "# HELP " + name + ' ' + f.help + "\n# TYPE " + name + ' ' + f.type + '\n';
}

bool MetricsScrape::Next(const std::vector<IPInfo>& list, const MetricsTotals& totals, std::size_t entries,
                         std::string& out) {
  if (family_ < kTotalsFamily) {
    if (index_ == 0) Family(family_, out);
    const EndpointFamily& f = kEndpointFamilies[family_];
    const bool counter = std::string_view(f.type) == "counter";
    for (const std::size_t end = index_ + entries; index_ < end && index_ < list.size(); ++index_) {
      const IPInfo& e = list[index_];
      const std::optional<double> value = f.value(e);
      if (!value) continue;
      out += f.name;
      if (counter) out += "_total";
      out += "{endpoint=\"" + EscapedLabel(GbkToUtf8(EndpointText(e.ip, e.port))) + "\",remark=\"" +
             EscapedLabel(GbkToUtf8(e.remark)) + "\"} ";
      Append(out, *value);
      out += '\n';
    }
    if (index_ >= list.size()) {
      ++family_;
      index_ = 0;
    }
    return true;
  }
  out += "# HELP kelvanor_endpoints Endpoints by their last outcome.\n# TYPE kelvanor_endpoints gauge\n";
  const std::pair<const char*, std::size_t> outcomes[] = {
      {"connected", totals.counts.connected}, {"failed", totals.counts.failed}, {"unchecked", totals.counts.unchecked}};
  for (const auto& [outcome, count] : outcomes)
    out += std::string("kelvanor_endpoints{outcome=\"") + outcome + "\"} " + std::to_string(count) + '\n';
  if (totals.lastCycle) {
    out += "# HELP kelvanor_cycle_duration_seconds From the start of the last complete cycle to its last outcome.\n"
           "# TYPE kelvanor_cycle_duration_seconds gauge\nkelvanor_cycle_duration_seconds ";
    Append(out, std::chrono::duration<double>(*totals.lastCycle).count());
    out += '\n';
  }
  if (openMetrics_) out += "# EOF\n";
  return false;
}

}  // namespace kelvanor
