// Metrics for Prometheus: served on loopback only while the option is on, in the text
// format promtool accepts (OpenMetrics when asked), and nothing but GET /metrics answered.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>

#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The whole answer to `request`, read while the loop runs the server; empty when the
// connect is refused.
std::string Fetch(int port, const std::string& request, const char* address = "127.0.0.1") {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in to = Loopback(port);
  inet_pton(AF_INET, address, &to.sin_addr);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    fcntl(fd, F_SETFL, O_NONBLOCK);
    EXPECT_TRUE(WaitFor([&] {
      char buffer[65536];
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n > 0) answer.append(buffer, n);
      return n == 0;
    }));
  }
  close(fd);
  return answer;
}

std::string Body(const std::string& answer) { return answer.substr(answer.find("\r\n\r\n") + 4); }

class Metrics : public ViewTest {
 protected:
  Metrics() {
    // Silent: closing a sound device starts a thread, which ThreadSanitizer refuses in a
    // process that has forked (for promtool) while it had threads.
    view->Setting().soundType = 0;
    Add("127.0.0.1", up.port()).remark = Gbk(u8"主库 \"a\\b\"\n二");
    Add("127.0.0.1", RefusedPort());
    view->Setting().options.metricsPort = static_cast<std::uint16_t>(port);
    view->ApplyOptions();
    for (int cycle = 0; cycle < 2; ++cycle) {  // the second has a complete cycle before it
      view->RefreshStatus();
      EXPECT_TRUE(WaitForOutcomes());
    }
  }
  TcpListener up;
  const int port = RefusedPort();
};

TEST_F(Metrics, AreServedInTheTextFormatPromtoolAcceptsOrAsOpenMetricsWhenAsked) {
  const std::string answer = Fetch(port, "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(answer.substr(0, answer.find("\r\n\r\n")),
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\nConnection: close");
  const std::string body = Body(answer);
  const std::string upLabels = "{endpoint=\"127.0.0.1:" + std::to_string(up.port()) + "\",remark=\"" +
                               U8(u8"主库 \\\"a\\\\b\\\"\\n二") + "\"}";
  for (const std::string& line : {"kelvanor_probe_success" + upLabels + " 1", "kelvanor_probe_failures_total" + upLabels + " 0",
                                  std::string("kelvanor_endpoints{outcome=\"failed\"} 1"),
                                  std::string("kelvanor_endpoints{outcome=\"connected\"} 1"),
                                  std::string("# TYPE kelvanor_probe_failures_total counter")})
    EXPECT_NE(body.find(line + '\n'), std::string::npos) << line << "\n" << body;
  EXPECT_NE(body.find("\nkelvanor_cycle_duration_seconds "), std::string::npos);
  QProcess promtool;
  promtool.start("promtool", {"check", "metrics"});
  ASSERT_TRUE(promtool.waitForStarted()) << "promtool (Debian package prometheus) is needed";
  promtool.write(body.data(), static_cast<qint64>(body.size()));
  promtool.closeWriteChannel();
  ASSERT_TRUE(promtool.waitForFinished());
  EXPECT_EQ(promtool.exitCode(), 0) << promtool.readAll().toStdString() << body;

  const std::string open = Fetch(port, "GET /metrics?x=1 HTTP/1.1\r\nAccept: application/openmetrics-text;version=1.0.0\r\n\r\n");
  EXPECT_NE(open.find("Content-Type: application/openmetrics-text; version=1.0.0; charset=utf-8\r\n"), std::string::npos);
  EXPECT_NE(open.find("\n# TYPE kelvanor_probe_failures counter\n"), std::string::npos);
  EXPECT_TRUE(open.ends_with("\n# EOF\n"));
}

TEST_F(Metrics, AnswerOnlyGetMetricsOnLoopbackAndOnlyWhileTheOptionIsOn) {
  for (const char* request : {"POST /metrics HTTP/1.1\r\n\r\n", "GET / HTTP/1.1\r\n\r\n", "GET /metricsx HTTP/1.0\r\n\r\n",
                              "nonsense\r\n\r\n"})
    EXPECT_TRUE(Fetch(port, request).starts_with("HTTP/1.1 404 Not Found\r\n")) << request;
  EXPECT_EQ(Fetch(port, "GET /metrics HTTP/1.1\r\n\r\n", "127.0.0.2"), "") << "bound to 127.0.0.1 alone";
  view->Setting().options.metricsPort = 0;
  view->ApplyOptions();
  EXPECT_EQ(Fetch(port, "GET /metrics HTTP/1.1\r\n\r\n"), "");
  EXPECT_TRUE(boxes.calls.empty());
  view->Setting().options.metricsPort = static_cast<std::uint16_t>(up.port());  // taken
  view->ApplyOptions();
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_NE(boxes.calls[0].text.find(std::to_string(up.port())), std::string::npos);
  EXPECT_EQ(view->Metrics(), nullptr);
}

}  // namespace
