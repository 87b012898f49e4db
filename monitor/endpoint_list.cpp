#include "monitor/endpoint_list.h"

#include <algorithm>

#include "platform/gbk.h"

namespace kelvanor {

const std::string& ConnectingText() {
  static const std::string text = Gbk(u8"连接中...");
  return text;
}

const std::string& ConnectedText() {
  static const std::string text = Gbk(u8"正常连接");
  return text;
}

IPInfo::IPInfo(std::string ip, std::int32_t port, std::string remark)
    : ip(std::move(ip)), port(port), remark(std::move(remark)), result(ConnectingText()) {}

void SettingData::Clear() {
  for (IPInfo& entry : ipList) ReleaseProbe(entry);
  ipList.clear();
}

void SettingData::NoteProbe(const IPInfo& entry) {
  if (!entry.socket || entry.socket->handle <= 0) return;
  if (&entry < ipList.data() || &entry >= ipList.data() + ipList.size()) return;
  m_EntryOfHandle[entry.socket->handle] = static_cast<std::size_t>(&entry - ipList.data());
}

IPInfo* SettingData::FindBySocket(SOCKET handle) {
  if (auto noted = m_EntryOfHandle.find(handle); noted != m_EntryOfHandle.end()) {
    if (noted->second < ipList.size()) {
      IPInfo& entry = ipList[noted->second];
      if (entry.socket && entry.socket->handle == handle) return &entry;
    }
    return nullptr;
  }
  for (IPInfo& entry : ipList)
    if (entry.socket && entry.socket->handle == handle) return &entry;
  return nullptr;
}

Socket* SettingData::FindProbe(SOCKET handle) {
  if (IPInfo* entry = FindBySocket(handle)) return entry->socket.get();
  for (auto& probe : abandonedProbes)
    if (probe->handle == handle) return probe.get();
  return nullptr;
}

void SettingData::ReleaseProbe(IPInfo& entry) {
  if (!entry.socket) return;
  // A probe without a result yet keeps going, so that its failure still alarms.
  if (entry.state == Connecting && entry.socket->AwaitingOutcome())
    abandonedProbes.push_back(std::move(entry.socket));
  entry.socket.reset();
}

void SettingData::FreeAbandoned(SOCKET handle) {
  auto it = std::find_if(abandonedProbes.begin(), abandonedProbes.end(),
                         [handle](const auto& p) { return p->handle == handle; });
  if (it != abandonedProbes.end()) abandonedProbes.erase(it);
}

}  // namespace kelvanor
