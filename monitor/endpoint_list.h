#pragma once
// The endpoints the monitor watches, each with its current probe, and the settings
// record that holds them with the rest of the operator's configuration.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "monitor/endpoint_history.h"
#include "monitor/options.h"
#include "monitor/socket.h"

namespace kelvanor {

enum ProbeState : std::int32_t { Connecting = 0, Connected = 1, Failed = 2 };

// Result texts of the two states that have no error text (GBK).
const std::string& ConnectingText();  // "连接中..."
const std::string& ConnectedText();   // "正常连接"

struct IPInfo {
  IPInfo(std::string ip, std::int32_t port, std::string remark);

  std::string ip;
  std::int32_t port;
  std::string remark;
  AddressMode addressMode = AddressMode::Auto;
  std::unique_ptr<Socket> socket;  // the probe of the current cycle, or none
  ProbeState state = Connecting;
  std::string result;
  // Connected or Failed once an outcome has arrived; a new cycle leaves it as it is.
  std::optional<ProbeState> lastOutcome;
  // Connected, with the median of its last connects over the slow threshold.
  bool slow = false;
  EndpointHistory history;
  // The start failure last reported for this entry, until a start succeeds: a failure
  // that repeats with the same message opens no further box.
  std::string startFailure;
};

// The families a probe of the entry asks for: the auto mode is IPv4 alone unless the
// operator chose IPv6 for names.
inline AddressMode ProbeMode(const IPInfo& entry, const MonitorOptions& options) {
  return entry.addressMode == AddressMode::Auto && !options.ipv6Names ? AddressMode::V4 : entry.addressMode;
}

struct SettingData {
  std::vector<IPInfo> ipList;
  std::int32_t refreshTime = 30;
  std::int32_t soundType = 1;
  std::string soundFile;
  MonitorOptions options;
  // setting.xml holds what did not load: saving the record over it would lose that, so
  // the operator is asked first.
  bool fileNotLoaded = false;

  // Probes that no entry holds any more but whose outcome is still to come: it must
  // still sound the alarm. Each is freed when its outcome has been handled.
  std::vector<std::unique_ptr<Socket>> abandonedProbes;

  void Append(IPInfo entry) { ipList.push_back(std::move(entry)); }
  // Empties the list; the entries' probes are let go as by ReleaseProbe.
  void Clear();

  // The first entry whose current probe has this socket handle, or none.
  IPInfo* FindBySocket(SOCKET handle);
  // Remembers which entry of the list holds the probe just given this handle, so that
  // finding it for each of thousands of outcomes does not walk the whole list.
  void NoteProbe(const IPInfo& entry);
  // The probe (held by an entry or abandoned) that has this socket handle, or none.
  Socket* FindProbe(SOCKET handle);

  // Takes the entry's probe away: a finished one, or one still waiting for its host name
  // (it holds no socket yet), is closed and freed; one awaiting its connect outcome moves
  // to abandonedProbes.
  void ReleaseProbe(IPInfo& entry);
  // Frees an abandoned probe that nothing more will come for.
  void FreeAbandoned(SOCKET handle);

 private:
  // The index of the entry last given a probe with each handle. The kernel hands a
  // number to one open socket at a time, so a noted entry that no longer holds the
  // handle means no entry does.
  std::unordered_map<SOCKET, std::size_t> m_EntryOfHandle;
};

}  // namespace kelvanor
