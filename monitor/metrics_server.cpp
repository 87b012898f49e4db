#include "monitor/metrics_server.h"

#include <QTcpSocket>
#include <QTimer>
#include <optional>

namespace kelvanor {
namespace {

constexpr qsizetype kLongestRequest = 8192;
constexpr std::size_t kEntriesPerPiece = 256;
constexpr qint64 kQueuedBytes = 256 * 1024;  // written ahead of the client at most
constexpr int kIdleLimitMs = 10000;          // a client that stops reading or sending is dropped
constexpr int kMostClients = 8;

// One client: its request, then the answer written as the client takes it.
class Exchange : public QObject {
 public:
  Exchange(QTcpSocket* socket, const std::vector<IPInfo>& list, MetricsServer::Totals totals)
      : QObject(socket), socket_(socket), list_(list), totals_(std::move(totals)) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, socket_, [this] {
      socket_->abort();
      socket_->deleteLater();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &Exchange::Read);
    connect(socket_, &QTcpSocket::bytesWritten, this, &Exchange::Write);
    connect(socket_, &QTcpSocket::disconnected, socket_, &QObject::deleteLater);
    idle_.start(kIdleLimitMs);
  }

 private:
  void Read() {
    if (answered_) return;
    request_ += socket_->read(kLongestRequest - request_.size() + 1);
    const qsizetype headEnd = request_.indexOf("\r\n\r\n");
    if (headEnd < 0) {
      if (request_.size() > kLongestRequest) Answer404();
      return;
    }
    const QList<QByteArray> lines = request_.left(headEnd).split('\n');
    const QList<QByteArray> words = lines.first().trimmed().split(' ');
    if (words.size() != 3 || words[0] != "GET" || words[1].split('?').first() != "/metrics") return Answer404();
    bool openMetrics = false;
    for (const QByteArray& line : lines)
      if (line.toLower().startsWith("accept:") && line.contains("application/openmetrics-text")) openMetrics = true;
    answered_ = true;
    scrape_.emplace(openMetrics);
    socket_->write(QByteArray("HTTP/1.1 200 OK\r\nContent-Type: ") + scrape_->ContentType() +
                   "\r\nConnection: close\r\n\r\n");
    Write();
  }

  // One piece a turn, while the client keeps up.
  void Write() {
    idle_.start(kIdleLimitMs);
    if (!scrape_ || done_ || pieceQueued_ || socket_->bytesToWrite() > kQueuedBytes) return;
    std::string piece;
    done_ = !scrape_->Next(list_, totals_(), kEntriesPerPiece, piece);
    socket_->write(piece.data(), static_cast<qint64>(piece.size()));
    if (done_) {
      socket_->disconnectFromHost();
      return;
    }
    pieceQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      pieceQueued_ = false;
      Write();
    });
  }

  void Answer404() {
    answered_ = true;
    socket_->write("HTTP/1.1 404 Not Found\r\nContent-Type: text/plain; charset=utf-8\r\nConnection: close\r\n\r\n"
                   "Only GET /metrics is served here.\n");
    socket_->disconnectFromHost();
  }

  QTcpSocket* socket_;
  const std::vector<IPInfo>& list_;
  MetricsServer::Totals totals_;
  QByteArray request_;
  bool answered_ = false;
  std::optional<MetricsScrape> scrape_;
  bool done_ = false;
  bool pieceQueued_ = false;
  QTimer idle_;
};

}  // namespace

MetricsServer::MetricsServer(const std::vector<IPInfo>& list, Totals totals)
    : list_(list), totals_(std::move(totals)) {
  server_.setMaxPendingConnections(kMostClients);
  connect(&server_, &QTcpServer::newConnection, this, &MetricsServer::Accept);
}

bool MetricsServer::Listen(std::uint16_t port) { return server_.listen(QHostAddress::LocalHost, port); }

void MetricsServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    if (server_.findChildren<Exchange*>().size() >= kMostClients) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    new Exchange(socket, list_, totals_);
  }
}

}  // namespace kelvanor
