// kelvanor --check and --headless run as processes without a display, against real
// loopback listeners: what the check prints and the exit code a monitoring system reads;
// the headless monitor's metrics, event log and quitting.
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>

#include "platform/gbk.h"
#include "tests/common/loopback.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

class CheckModeTest : public InSettingDir {
 protected:
  struct Run {
    int code;
    QString out;
  };
  // Started without a display.
  static void Start(QProcess& program, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    program.setProcessEnvironment(environment);
    program.start(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor"), arguments);
    ASSERT_TRUE(program.waitForStarted());
  }
  static Run Check(const QStringList& arguments) {
    QProcess program;
    Start(program, QStringList{"--check"} + arguments);
    EXPECT_TRUE(program.waitForFinished(20000));
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput())};
  }
  static std::string Endpoint(int port, const char8_t* remark) {
    return "<IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(port) + "\" remark=\"" + Gbk(remark) + "\"/>";
  }
  static QString Utf8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

  testing::TcpListener up;
  const int down = testing::RefusedPort();
};

TEST_F(CheckModeTest, ExitsWithTheStatusTheEndpointsDownGiveAndNamesEachOneDown) {
  const std::string upOnly = Endpoint(up.port(), u8"网关");
  const std::string both = upOnly + Endpoint(down, u8"数据库");
  const struct {
    std::string endpoints;
    QStringList arguments;
    int code;
    QString firstLine;
  } cases[] = {
      {upOnly, {}, 0, "KELVANOR OK - 0 of 1 endpoints down | up=1;;;0;1 down=0;1;1;0;1"},
      {both, {}, 2, "KELVANOR CRITICAL - 1 of 2 endpoints down | up=1;;;0;2 down=1;1;1;0;2"},
      {both, {"--warn", "1", "--crit", "2", "--cycles", "2"}, 1,
       "KELVANOR WARNING - 1 of 2 endpoints down | up=1;;;0;2 down=1;1;2;0;2"},
  };
  for (const auto& c : cases) {
    WriteFile("<root>" + c.endpoints + "</root>");
    const Run run = Check(c.arguments);
    EXPECT_EQ(run.code, c.code) << run.out.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], c.firstLine);
    EXPECT_EQ(lines.size(), 1 + (c.code != 0));
    if (c.code != 0) {
      EXPECT_TRUE(lines[1].startsWith(QString("127.0.0.1:%1 ").arg(down) + Utf8(u8"数据库: ")));
    }
  }
  WriteFile("<root>" + both + "</root>", "other.xml");
  const Run json = Check({"--settings", "other.xml", "--format", "json"});
  EXPECT_EQ(json.code, 2);
  const QJsonObject report = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_EQ(report["status"].toString(), "CRITICAL");
  const QJsonArray endpoints = report["endpoints"].toArray();
  ASSERT_EQ(endpoints.size(), 2);
  EXPECT_TRUE(endpoints[0]["up"].toBool() && endpoints[0]["connectMs"].isDouble());
  EXPECT_EQ(endpoints[1]["remark"].toString(), Utf8(u8"数据库"));
  EXPECT_FALSE(endpoints[1]["up"].toBool() || endpoints[1]["error"].toString().isEmpty());
}

TEST_F(CheckModeTest, IsUnknownWhenTheSettingsCannotBeReadOrNothingCanBeProbed) {
  const std::pair<std::string, QStringList> cases[] = {
      {"", {}},                                                                 // no setting.xml
      {"<root><IPInfo ip=\"a\" ip=\"b\"/></root>", {}},                          // damaged
      {"<root><RefreshTime val=\"30\"/></root>", {}},                            // no endpoints
      {"<root><IPInfo ip=\"127.0.0.1\" port=\"0\"/></root>", {}},                // nothing could start
      {"<root>" + Endpoint(up.port(), u8"") + "</root>", {"--format", "xml"}},  // bad arguments
      {"<root>" + Endpoint(up.port(), u8"") + "</root>", {"--cycles", "0"}},
  };
  for (const auto& [file, arguments] : cases) {
    if (!file.empty()) WriteFile(file);
    const Run run = Check(arguments);
    EXPECT_EQ(run.code, 3) << file << run.out.toStdString();
    EXPECT_TRUE(run.out.startsWith("KELVANOR UNKNOWN - ")) << run.out.toStdString();
  }
}

// The body of GET /metrics from another process on loopback; empty while nothing answers.
std::string Metrics(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in to = testing::Loopback(port);
  std::string answer;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
    const std::string request = "GET /metrics HTTP/1.1\r\n\r\n";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    char buffer[4096];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, n);
  }
  close(fd);
  return answer;
}

TEST_F(CheckModeTest, HeadlessKeepsProbingWithMetricsAndEventLogAndEndsOnSigterm) {
  const int port = testing::RefusedPort();
  WriteFile("<root><RefreshTime val=\"1\"/>" + Endpoint(up.port(), u8"网关") + Endpoint(down, u8"数据库") +
            "<Options eventLog=\"1\" metricsPort=\"" + std::to_string(port) + "\"/></root>");
  QProcess program;
  Start(program, {"--headless"});
  const std::string secondFailure = "kelvanor_probe_failures_total{endpoint=\"127.0.0.1:" + std::to_string(down) +
                                    "\",remark=\"" + reinterpret_cast<const char*>(u8"数据库") + "\"} 2\n";
  std::string metrics;
  for (int tries = 0; tries < 200 && metrics.find(secondFailure) == std::string::npos; ++tries) {
    QThread::msleep(100);
    metrics = Metrics(port);
  }
  EXPECT_NE(metrics.find(secondFailure), std::string::npos) << "probing goes on cycle after cycle\n" << metrics;
  EXPECT_NE(metrics.find("kelvanor_endpoints{outcome=\"connected\"} 1\n"), std::string::npos);
  EXPECT_EQ(ReadFile("kelvanor-events.csv").empty(), false);
  kill(static_cast<pid_t>(program.processId()), SIGTERM);
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace kelvanor::test
