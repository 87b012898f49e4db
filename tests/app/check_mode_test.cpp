// kelvanor --check run as a process without a display, against real loopback listeners:
// what it prints and the exit code a monitoring system reads.
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

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
  static Run Check(const QStringList& arguments) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    program.setProcessEnvironment(environment);
    program.start(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor"),
                  QStringList{"--check"} + arguments);
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

}  // namespace
}  // namespace kelvanor::test
