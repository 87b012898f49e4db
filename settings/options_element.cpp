#include "settings/options_element.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <variant>

#include "settings/int_scan.h"

namespace kelvanor {
namespace {

using Member = std::variant<int MonitorOptions::*, bool MonitorOptions::*, std::string MonitorOptions::*,
                            std::uint16_t MonitorOptions::*, std::chrono::milliseconds MonitorOptions::*>;

// In the order they are written.
const std::pair<const char*, Member> kAttributes[] = {
    {"failuresBeforeAlarm", &MonitorOptions::failuresBeforeAlarm},
    {"recoverySound", &MonitorOptions::recoverySound},
    {"recoveryFile", &MonitorOptions::recoveryFile},
    {"trayIcon", &MonitorOptions::trayIcon},
    {"notifications", &MonitorOptions::notifications},
    {"eventLog", &MonitorOptions::eventLog},
    {"metricsPort", &MonitorOptions::metricsPort},
    {"slowAfterMs", &MonitorOptions::slowAfter},
    {"ipv6Names", &MonitorOptions::ipv6Names},
};

int ValueOf(int*, const char* text) {
  return std::clamp<int>(ScanInt(text), MonitorOptions::kMinFailuresBeforeAlarm,
                         MonitorOptions::kMaxFailuresBeforeAlarm);
}
bool ValueOf(bool*, const char* text) { return ScanInt(text) != 0; }
// A port out of range turns the server off rather than open some other port.
std::uint16_t ValueOf(std::uint16_t*, const char* text) {
  const int port = ScanInt(text);
  return static_cast<std::uint16_t>(port >= 1 && port <= 65535 ? port : 0);
}
std::string ValueOf(std::string*, const char* text) { return text; }

std::chrono::milliseconds ValueOf(std::chrono::milliseconds*, const char* text) {
  return std::chrono::milliseconds(std::clamp<int>(ScanInt(text), 0, MonitorOptions::kMaxSlowAfter.count()));
}

std::string TextOf(int value) { return std::to_string(value); }
std::string TextOf(std::chrono::milliseconds value) { return std::to_string(value.count()); }
std::string TextOf(std::uint16_t value) { return std::to_string(value); }
std::string TextOf(bool) { return "1"; }  // a switch is written only when on
std::string TextOf(const std::string& value) { return value; }

}  // namespace

MonitorOptions ReadOptions(const tinyxml2::XMLElement& element) {
  MonitorOptions options;
  options.inFile = true;
  for (const tinyxml2::XMLAttribute* a = element.FirstAttribute(); a; a = a->Next()) {
    const auto known = std::find_if(std::begin(kAttributes), std::end(kAttributes),
                                    [&](const auto& attribute) { return std::string_view(attribute.first) == a->Name(); });
    if (known == std::end(kAttributes)) {
      options.unknownAttributes.emplace_back(a->Name(), a->Value());
      continue;
    }
    std::visit([&](auto member) { options.*member = ValueOf(&(options.*member), a->Value()); }, known->second);
  }
  return options;
}

void AppendOptions(const MonitorOptions& options, tinyxml2::XMLElement& root) {
  if (options.ChoicesAreDefault() && !options.inFile) return;
  tinyxml2::XMLElement* element = root.InsertNewChildElement("Options");
  const MonitorOptions defaults;
  for (const auto& attribute : kAttributes)
    std::visit([&](auto m) {
      if (options.*m != defaults.*m) element->SetAttribute(attribute.first, TextOf(options.*m).c_str());
    }, attribute.second);
  for (const auto& [name, value] : options.unknownAttributes) element->SetAttribute(name.c_str(), value.c_str());
}

}  // namespace kelvanor
