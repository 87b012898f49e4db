#pragma once
// The operator's choices beyond the alarm of every failure. Each one's default keeps the
// program hearing and writing exactly what it did before the choice existed.
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelvanor {

struct MonitorOptions {
  static constexpr int kMinFailuresBeforeAlarm = 1;
  static constexpr int kMaxFailuresBeforeAlarm = 10;

  int failuresBeforeAlarm = kMinFailuresBeforeAlarm;  // failed cycles in a row before the alarm
  bool recoverySound = false;                         // a tone when Failed turns Connected
  std::string recoveryFile;                           // GBK wave path; empty plays the built-in tone
  bool trayIcon = false;
  bool notifications = false;
  bool eventLog = false;  // kelvanor-events.csv beside setting.xml
  std::uint16_t metricsPort = 0;  // GET /metrics on 127.0.0.1 at this port; 0: none
  // An endpoint whose recent connects have a median over this is slow, drawn amber; 0: never.
  std::chrono::milliseconds slowAfter{0};
  static constexpr std::chrono::milliseconds kMaxSlowAfter{60000};
  // Host names in the auto address mode are looked up for IPv6 too and the families
  // raced; off, they connect over IPv4 alone, as before IPv6 was offered.
  bool ipv6Names = false;

  // Kept for the file alone: once a file held the element, saving writes it again, and
  // the attributes a later version wrote there survive (name, value; in file order).
  bool inFile = false;
  std::vector<std::pair<std::string, std::string>> unknownAttributes;

  // True when every choice above holds its default, whatever the file kept.
  bool ChoicesAreDefault() const {
    const MonitorOptions defaults;
    return failuresBeforeAlarm == defaults.failuresBeforeAlarm && recoverySound == defaults.recoverySound &&
           recoveryFile == defaults.recoveryFile && trayIcon == defaults.trayIcon &&
           notifications == defaults.notifications && eventLog == defaults.eventLog &&
           metricsPort == defaults.metricsPort && slowAfter == defaults.slowAfter && ipv6Names == defaults.ipv6Names;
  }
  bool operator==(const MonitorOptions&) const = default;
};

}  // namespace kelvanor
