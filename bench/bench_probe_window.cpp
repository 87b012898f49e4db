// Ten thousand loopback endpoints under an open-file limit of 1,024, refreshed every 10 s
// on a real X server (Xvfb): whether every endpoint gets an outcome in every cycle, how
// many read "Too many open files.", and whether the window kept answering. The program
// runs itself again on Xvfb with the limit lowered, as `ulimit -n 1024` would; the
// listeners stay in this first process, so their descriptors do not count against it.
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/clocks.h"
#include "bench/table_row.h"
#include "bench/timed_application.h"
#include "monitor/kelvanor_view.h"
#include "platform/file_limit.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/common/xvfb.h"

namespace {

using namespace kelvanor;
using namespace kelvanor::bench;

constexpr rlim_t kLimit = 1024;
constexpr int kEndpoints = 10000;
constexpr int kSilent = 100;      // answered by the connect timeout, half the refresh period
constexpr int kRefreshTime = 10;  // seconds
constexpr int kCycles = 3;
// Nothing accepts, so every connection of the run stays in a listener's queue (4,096 at
// most): enough listeners for the cycles' thousands each.
constexpr int kListeners = 8;
constexpr char kPortsVariable[] = "KELVANOR_BENCH_WINDOW_PORTS";

// The endpoints' ports, "listening,...;refused;silent", as the first process made them.
struct Ports {
  std::vector<int> listening;
  int refused = 0, silent = 0;

  QString Text() const {
    QStringList list;
    for (int port : listening) list << QString::number(port);
    return list.join(',') + ';' + QString::number(refused) + ';' + QString::number(silent);
  }
  static Ports Parse(const QString& text) {
    const QStringList parts = text.split(';');
    Ports ports;
    for (const QString& port : parts.value(0).split(',')) ports.listening.push_back(port.toInt());
    ports.refused = parts.value(1).toInt();
    ports.silent = parts.value(2).toInt();
    return ports;
  }
  // Endpoint i's port: the silent ones first, then listening and refused by turns.
  int Of(int i) const {
    if (i < kSilent) return silent;
    return i % 2 ? listening[static_cast<std::size_t>(i) % listening.size()] : refused;
  }
};

// What each cycle gave, read just before the refresh timer starts the next one: every
// entry is taken (made grey) early in its cycle, so one that is no longer grey then had
// its outcome in that cycle.
class CycleWatch : public QObject {
 public:
  explicit CycleWatch(CKelvanorView& view) : view_(view) { view.installEventFilter(this); }

  std::vector<int> outcomes;  // per cycle
  int tooManyFiles = 0;       // results reading "Too many open files.", all cycles
  QEventLoop done;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::Timer) return false;
    if (view_.Timers().IdOf(static_cast<QTimerEvent*>(e)->timerId()) != kRefreshTimerId) return false;
    int arrived = 0;
    for (const IPInfo& entry : view_.Setting().ipList) {
      arrived += entry.state != Connecting;
      tooManyFiles += entry.result == "Too many open files.";
    }
    outcomes.push_back(arrived);
    if (outcomes.size() == kCycles) done.quit();
    return false;
  }

 private:
  CKelvanorView& view_;
};

int RunLimited(int argc, char** argv, const Ports& ports) {
  const rlimit limit{kLimit, kLimit};
  setrlimit(RLIMIT_NOFILE, &limit);
  RaiseOpenFileLimit();
  TimedApplication app(argc, argv);
  testing::MessageBoxRecorder boxes;
  CKelvanorView view;
  view.Setting().soundType = 0;  // thousands of alarm requests a cycle would measure the sound worker
  view.Setting().refreshTime = kRefreshTime;
  for (int i = 0; i < kEndpoints; ++i) view.Setting().Append(IPInfo("127.0.0.1", ports.Of(i), ""));
  app.Watch(&view);
  view.resize(800, 600);
  view.show();
  if (!QTest::qWaitForWindowExposed(&view) || !testing::WaitFor([&] { return app.tally().paints > 0; }))
    qFatal("the view never showed");

  CycleWatch watch(view);
  QElapsedTimer sinceBeat;
  qint64 longestGap = 0;
  QTimer heartbeat;  // the window answers while these keep coming
  heartbeat.setTimerType(Qt::PreciseTimer);
  QObject::connect(&heartbeat, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceBeat.restart()); });
  app.TimeThreadCpu(true);
  app.Reset();
  sinceBeat.start();
  heartbeat.start(10);
  view.OnInitialUpdate();
  QTimer::singleShot(std::chrono::seconds(kRefreshTime * (kCycles + 2)), &watch.done, &QEventLoop::quit);
  watch.done.exec();
  heartbeat.stop();
  // A round trip to the X server: a broken connection gives no image.
  const bool xAnswers = !view.screen()->grabWindow(view.winId(), 0, 0, 8, 8).isNull();
  for (const MessageBoxCall& box : boxes.calls) watch.tooManyFiles += box.text.find("Too many open files.") != std::string::npos;

  const int fewest = watch.outcomes.empty() ? 0 : *std::min_element(watch.outcomes.begin(), watch.outcomes.end());
  const double wall = Ms(app.tally().longestWall), cpu = Ms(app.tally().longestCpu);
  const bool met = static_cast<int>(watch.outcomes.size()) == kCycles && fewest == kEndpoints && watch.tooManyFiles == 0 &&
                   wall <= 8.0 && xAnswers;
  std::printf("| endpoints | open-file limit | probe window | cycles (every %d s) | outcomes per cycle, fewest | "
              "\"Too many open files.\" | longest UI event (wall / UI-thread CPU) | longest gap between 10 ms "
              "heartbeats | X answers at the end | met (longest event <= 8 ms) |\n"
              "|---|---|---|---|---|---|---|---|---|---|\n",
              kRefreshTime);
  std::printf("| %s | %s | %s | %zu | %s | %d | %s / %s | %lld ms | %s | %s |\n", Grouped(kEndpoints).c_str(),
              Grouped(static_cast<int>(kLimit)).c_str(), Grouped(static_cast<int>(view.ProbeWindow())).c_str(),
              watch.outcomes.size(), Grouped(fewest).c_str(), watch.tooManyFiles, Millis(wall).c_str(),
              Millis(cpu).c_str(), static_cast<long long>(longestGap), xAnswers ? "yes" : "no", Met(met));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const QByteArray ports = qgetenv(kPortsVariable); !ports.isEmpty())
    return RunLimited(argc, argv, Ports::Parse(QString::fromLatin1(ports)));

  QCoreApplication app(argc, argv);
  std::vector<std::unique_ptr<testing::TcpListener>> listeners;
  Ports ports;
  for (int i = 0; i < kListeners; ++i) {
    ports.listening.push_back(listeners.emplace_back(std::make_unique<testing::TcpListener>(4096))->port());
  }
  testing::SilentEndpoint silent;
  ports.refused = testing::RefusedPort();
  ports.silent = silent.port();
  testing::Xvfb xvfb;
  if (!xvfb.IsUp()) {
    std::printf("Skipped: %s\n", xvfb.Problem());
    return 0;
  }
  QProcessEnvironment environment = xvfb.Environment();
  environment.insert(kPortsVariable, ports.Text());
  QProcess limited;
  limited.setProcessEnvironment(environment);
  limited.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  limited.start(QCoreApplication::applicationFilePath(), {});
  const bool finished = testing::WaitFor([&] { return limited.state() == QProcess::NotRunning; },
                                         1000 * kRefreshTime * (kCycles + 4));
  std::fputs(limited.readAllStandardOutput().constData(), stdout);
  if (!finished || limited.exitStatus() != QProcess::NormalExit || limited.exitCode() != 0) {
    std::printf("The run under the limit did not finish normally: the window died or hung.\n");
    return 1;
  }
  return 0;
}
