#include "app/check_mode.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "monitor/check_cycle.h"
#include "monitor/kelvanor_view.h"
#include "platform/file_limit.h"
#include "platform/gbk.h"
#include "platform/socket_address.h"
#include "settings/setting_file.h"

namespace kelvanor {
namespace {

enum Status { kOk = 0, kWarning = 1, kCritical = 2, kUnknown = 3 };
const char* const kStatusNames[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

struct CheckArguments {
  QString settings = kSettingFileName;
  int cycles = 1;
  int warn = 1;  // endpoints down for a warning
  int crit = 1;  // for critical
  bool json = false;
};

int Unknown(const std::string& why) {
  std::printf("KELVANOR UNKNOWN - %s\n", why.c_str());
  return kUnknown;
}

// An endpoint is down when none of the cycles reached it: further cycles are retries.
struct Tally {
  std::vector<CheckOutcome> last;  // per endpoint, its success if it had one
  std::size_t down = 0;
  bool anyStarted = false;
};

Tally Probe(const SettingData& setting, int cycles) {
  const std::vector<IPInfo>& list = setting.ipList;
  Tally tally;
  tally.last.resize(list.size());
  CheckCycle cycle(list, setting.options, ProbeDescriptorWindow());
  for (int c = 0; c < cycles; ++c) {
    QEventLoop loop;
    cycle.Start([&] { loop.quit(); });
    loop.exec();
    for (std::size_t i = 0; i < list.size(); ++i) {
      const CheckOutcome& outcome = cycle.Outcomes()[i];
      tally.anyStarted |= outcome.started;
      if (!tally.last[i].connected) tally.last[i] = outcome;
    }
  }
  for (const CheckOutcome& outcome : tally.last) tally.down += !outcome.connected;
  return tally;
}

std::string EndpointName(const IPInfo& entry) { return GbkToUtf8(EndpointText(entry.ip, entry.port)); }

void PrintNagios(Status status, const std::vector<IPInfo>& list, const Tally& tally, const CheckArguments& a) {
  const std::size_t n = list.size(), up = n - tally.down;
  std::printf("KELVANOR %s - %zu of %zu endpoints down | up=%zu;;;0;%zu down=%zu;%d;%d;0;%zu\n", kStatusNames[status],
              tally.down, n, up, n, tally.down, a.warn, a.crit, n);
  for (std::size_t i = 0; i < n; ++i) {
    if (tally.last[i].connected) continue;
    const std::string remark = GbkToUtf8(list[i].remark);
    std::printf("%s%s%s: %s\n", EndpointName(list[i]).c_str(), remark.empty() ? "" : " ", remark.c_str(),
                GbkToUtf8(tally.last[i].error).c_str());
  }
}

void PrintJson(Status status, const std::vector<IPInfo>& list, const Tally& tally) {
  QJsonArray endpoints;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const CheckOutcome& outcome = tally.last[i];
    QJsonObject e{{"endpoint", QString::fromStdString(EndpointName(list[i]))},
                  {"remark", GbkToQString(list[i].remark)},
                  {"up", outcome.connected}};
    if (outcome.connectMs) e["connectMs"] = static_cast<qint64>(*outcome.connectMs);
    if (!outcome.connected) e["error"] = GbkToQString(outcome.error);
    endpoints.append(e);
  }
  const QJsonObject report{{"status", kStatusNames[status]},
                           {"code", status},
                           {"up", static_cast<qint64>(list.size() - tally.down)},
                           {"down", static_cast<qint64>(tally.down)},
                           {"endpoints", endpoints}};
  std::printf("%s", QJsonDocument(report).toJson(QJsonDocument::Indented).constData());
}

}  // namespace

int RunCheck(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Probes the endpoints of a settings file once and exits 0 OK, 1 WARNING, "
                                   "2 CRITICAL or 3 UNKNOWN. An endpoint is down when no cycle reached it.");
  parser.addHelpOption();
  parser.addOptions({{"check", "Check and exit."},
                     {"settings", "The settings file (setting.xml here).", "file"},
                     {"cycles", "Cycles to try each endpoint (1).", "n"},
                     {"warn", "WARNING from this many endpoints down (1).", "n"},
                     {"crit", "CRITICAL from this many endpoints down (1).", "n"},
                     {"format", "nagios or json (nagios).", "format"}});
  if (!parser.parse(application.arguments())) return Unknown(parser.errorText().toStdString());
  if (parser.isSet("help")) parser.showHelp(kOk);
  CheckArguments a;
  if (parser.isSet("settings")) a.settings = parser.value("settings");
  const std::pair<const char*, int*> numbers[] = {{"cycles", &a.cycles}, {"warn", &a.warn}, {"crit", &a.crit}};
  for (const auto& [name, value] : numbers) {
    if (!parser.isSet(name)) continue;
    bool ok = false;
    *value = parser.value(name).toInt(&ok);
    if (!ok || *value < 1) return Unknown(std::string("--") + name + " takes a whole number of at least 1");
  }
  const QString format = parser.value("format");
  if (!format.isEmpty() && format != "nagios" && format != "json") return Unknown("--format is nagios or json");
  a.json = format == "json";

  SettingData setting;
  const std::string path = a.settings.toStdString();
  const SettingLoad load = LoadSettingFile(setting, path.c_str());
  if (load.result != 0)
    return Unknown(path + ": " + (load.problem.empty() ? std::string("no such file") : GbkToUtf8(load.problem)));
  if (setting.ipList.empty()) return Unknown(path + ": no endpoints");
  LimitConnectTimeout(ConnectTimeoutFor(setting.refreshTime));
  const Tally tally = Probe(setting, a.cycles);
  if (!tally.anyStarted) return Unknown("no probe could start");
  const Status status = tally.down >= static_cast<std::size_t>(a.crit)   ? kCritical
                        : tally.down >= static_cast<std::size_t>(a.warn) ? kWarning
                                                                         : kOk;
  if (a.json)
    PrintJson(status, setting.ipList, tally);
  else
    PrintNagios(status, setting.ipList, tally, a);
  return status;
}

}  // namespace kelvanor
