#pragma once
// Serves GET /metrics for Prometheus over HTTP, on 127.0.0.1 only. A scrape is written a
// piece per turn of the loop; any other request gets 404.
#include <QTcpServer>
#include <cstdint>
#include <functional>
#include <vector>

#include "monitor/metrics_text.h"

namespace kelvanor {

class MetricsServer : public QObject {
  Q_OBJECT

 public:
  using Totals = std::function<MetricsTotals()>;
  // `list` is read while scrapes are written, so it must outlive the server.
  MetricsServer(const std::vector<IPInfo>& list, Totals totals);

  // False, with the reason in ErrorText(), when the port cannot be had.
  bool Listen(std::uint16_t port);
  QString ErrorText() const { return server_.errorString(); }
  std::uint16_t Port() const { return server_.serverPort(); }

 private:
  void Accept();

  const std::vector<IPInfo>& list_;
  Totals totals_;
  QTcpServer server_;
};

}  // namespace kelvanor
