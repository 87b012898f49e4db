// A Prometheus scrape of 10,000 endpoints from the running view's metrics server, read by
// a client thread on loopback while the UI thread runs its loop: the longest UI event
// while it is served, against the time one event would take to write the whole scrape at
// once. Medians of five runs. Prints rows of the bench table (see bench/run.sh).
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTcpServer>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "bench/clocks.h"
#include "bench/median.h"
#include "bench/table_row.h"
#include "bench/timed_application.h"
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"

namespace {

using namespace kelvanor;
using namespace kelvanor::bench;
using Clock = std::chrono::steady_clock;

constexpr int kEndpoints = 10000;
constexpr int kRuns = 5;
constexpr double kStallTargetMs = 8;

void Fill(SettingData& setting) {
  for (int i = 0; i < kEndpoints; ++i) {
    IPInfo entry("127.0.0." + std::to_string(1 + i % 250), 8000 + i, Gbk(u8"服务器 \"") + std::to_string(i) + "\"");
    entry.lastOutcome = i % 7 ? Connected : Failed;
    entry.history.connectMs = i % 40;
    entry.history.failedCycles = static_cast<std::size_t>(i % 5);
    entry.history.changedAt = std::chrono::system_clock::now();
    setting.Append(std::move(entry));
  }
}

int FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost);
  return probe.serverPort();
}

// Bytes of the answer, read to the end.
std::size_t Scrape(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in to{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) qFatal("the metrics server is not there");
  const char request[] = "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  send(fd, request, sizeof request - 1, MSG_NOSIGNAL);
  std::size_t total = 0;
  char buffer[65536];
  for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) total += static_cast<std::size_t>(n);
  close(fd);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  TimedApplication app(argc, argv);
  CKelvanorView view;
  Fill(view.Setting());
  const int port = FreePort();
  view.Setting().options.metricsPort = static_cast<std::uint16_t>(port);
  view.ApplyOptions();
  std::vector<double> stalls, scrapes, whole;
  std::size_t bytes = 0;
  for (int run = 0; run < kRuns; ++run) {
    std::atomic<bool> done = false;
    app.Reset();
    const auto start = Clock::now();
    std::thread client([&] {
      bytes = Scrape(port);
      done = true;
    });
    while (!done) app.processEvents(QEventLoop::AllEvents, 5);
    client.join();
    scrapes.push_back(Ms(Clock::now() - start));
    stalls.push_back(Ms(app.tally().longestWall));
    const auto once = Clock::now();
    MetricsScrape scrape(false);
    std::string text;
    const MetricsTotals totals{view.Counts(), std::nullopt};
    while (scrape.Next(view.Setting().ipList, totals, SIZE_MAX, text)) {
    }
    whole.push_back(Ms(Clock::now() - once));
  }
  const double stall = Median(stalls);
  PrintRow("metrics: " + Grouped(kEndpoints) + "-endpoint scrape (" + Format("%.1f MB", bytes / 1e6) +
               Format(", %.0f ms", Median(scrapes)) + "), longest UI event while served / the whole scrape in one event",
           Millis(stall), Millis(Median(whole)), Format("%.2f", stall / Median(whole)), "<= 8 ms",
           Met(stall <= kStallTargetMs));
}
