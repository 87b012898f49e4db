#include "monitor/endpoint_history.h"

#include <QDateTime>
#include <QStringList>

#include "monitor/endpoint_list.h"
#include "platform/gbk.h"

namespace kelvanor {
namespace {

QString Text(const char8_t* utf8) { return QString::fromUtf8(reinterpret_cast<const char*>(utf8)); }

// Hours run past 24 rather than start a day count: an outage is read in hours.
QString Duration(qint64 seconds) {
  seconds = std::max<qint64>(0, seconds);
  return QString("%1:%2:%3")
      .arg(seconds / 3600, 2, 10, QChar('0'))
      .arg(seconds / 60 % 60, 2, 10, QChar('0'))
      .arg(seconds % 60, 2, 10, QChar('0'));
}

QString Clock(EndpointHistory::Time time) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
  return QDateTime::fromMSecsSinceEpoch(ms).toString("HH:mm:ss");
}

}  // namespace

QString EndpointDetails(const IPInfo& entry, EndpointHistory::Time now) {
  const EndpointHistory& history = entry.history;
  QStringList lines;
  if (!entry.lastOutcome) {
    lines << Text(u8"未检测");
  } else {
    lines << (*entry.lastOutcome == Failed ? Text(u8"异常") : Text(u8"正常")) + Text(u8" 自 ") +
                 Clock(history.changedAt) + Text(u8"，已持续 ") + Duration(std::chrono::duration_cast<std::chrono::seconds>(now - history.changedAt).count());
  }
  if (history.connectMs) lines << Text(u8"上次连接耗时 %1 ms").arg(*history.connectMs);
  if (entry.lastOutcome == Connected && history.decidedBy) {
    // Both connects to a name's two families, so neither alone answered.
    const QString answered = entry.addressMode == AddressMode::Both && !LiteralAddress(entry.ip)
                                 ? Text(u8"IPv6 与 IPv4")
                                 : QString("%1 %2").arg(FamilyName(history.decidedBy->Family()),
                                                       QString::fromStdString(history.decidedBy->Text()));
    lines << Text(u8"应答：") + answered;
  }
  if (history.failedAt)
    lines << Text(u8"上次失败 ") + Clock(*history.failedAt) + ' ' + GbkToQString(history.failureText);
  lines << Text(u8"失败次数 %1").arg(history.failedCycles);
  const LatencyRing& latency = history.latency;
  if (latency.Size() == 0) return lines.join('\n');
  lines << Sparkline(latency);
  if (const std::optional<LatencySummary> s = Summarize(latency))
    lines << Text(u8"最小 %1 / 中位 %2 / p95 %3 / 最大 %4 ms").arg(s->min).arg(s->median).arg(s->p95).arg(s->max);
  lines << Text(u8"失败 %1/%2").arg(latency.Failures()).arg(latency.Size());
  return lines.join('\n');
}

}  // namespace kelvanor
