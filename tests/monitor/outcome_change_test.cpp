// What a change of an endpoint's last outcome brings in the running view: its details as
// the tile's tool tip, the counts, the alarm after N failed cycles in a row, silence, the
// recovery tone and the event log.
#include <QDateTime>
#include <QDir>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <optional>

#include "board/status_board.h"
#include "tests/common/audio_capture.h"
#include "tests/common/csv_rows.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

QString Utf8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(EndpointDetails, TellTheLastOutcomeSinceWhenTheLastConnectAndFailureAndTheCount) {
  const auto changed = std::chrono::system_clock::time_point(
      std::chrono::milliseconds(QDateTime(QDate(2026, 12, 8), QTime(14, 2, 31)).toMSecsSinceEpoch()));
  using std::chrono::seconds;
  IPInfo entry("127.0.0.1", 80, "");
  EXPECT_EQ(EndpointDetails(entry, changed), Utf8(u8"未检测\n失败次数 0"));
  entry.lastOutcome = Failed;
  entry.history.changedAt = changed;
  entry.history.connectMs = 3;
  entry.history.failedAt = changed + seconds(60);
  entry.history.failureText = Gbk(u8"连接超时");
  entry.history.failedCycles = 4;
  EXPECT_EQ(EndpointDetails(entry, changed + seconds(12 * 60 + 31)),
            Utf8(u8"异常 自 14:02:31，已持续 00:12:31\n上次连接耗时 3 ms\n上次失败 14:03:31 连接超时\n失败次数 4"));
  entry.lastOutcome = Connected;
  EXPECT_TRUE(EndpointDetails(entry, changed + seconds(30 * 3600)).startsWith(Utf8(u8"正常 自 14:02:31，已持续 30:00:00\n")));
}

// The last 64 outcomes, oldest first, as bars from the fastest connect to the slowest and
// crosses for failures, with figures that are connect times seen.
TEST(EndpointDetails, DrawTheRecentOutcomesAsALineWithTheirFigures) {
  constexpr int kFail = -1;
  std::vector<int> wrapped{kFail};
  for (int ms = 1; ms <= 64; ++ms) wrapped.push_back(ms);
  const struct {
    std::vector<int> outcomes;
    const char8_t* line;
    const char8_t* figures;  // none without a connect
    const char8_t* failures;
  } cases[] = {
      {{5, kFail, 5, 13, kFail}, u8"▁×▁█×", u8"最小 5 / 中位 5 / p95 13 / 最大 13 ms", u8"失败 2/5"},
      {{7, 7}, u8"▁▁", u8"最小 7 / 中位 7 / p95 7 / 最大 7 ms", u8"失败 0/2"},
      {{kFail, kFail}, u8"××", nullptr, u8"失败 2/2"},
      {wrapped, nullptr, u8"最小 1 / 中位 32 / p95 61 / 最大 64 ms", u8"失败 0/64"},
  };
  for (const auto& c : cases) {
    IPInfo entry("127.0.0.1", 80, "");
    for (int ms : c.outcomes) ms == kFail ? entry.history.latency.AddFailure() : entry.history.latency.AddConnect(ms);
    const QStringList lines = EndpointDetails(entry, {}).split('\n');
    const QStringList tail = lines.mid(2);  // after the outcome and the failed cycles
    ASSERT_EQ(tail.size(), c.figures ? 3 : 2) << lines.join('|').toStdString();
    if (c.line) {
      EXPECT_EQ(tail[0], Utf8(c.line));
    }
    EXPECT_EQ(tail[0].size(), std::min<qsizetype>(c.outcomes.size(), 64));
    if (c.figures) {
      EXPECT_EQ(tail[1], Utf8(c.figures));
    }
    EXPECT_EQ(tail.back(), Utf8(c.failures));
  }
}

// One endpoint with every option that acts on a change on, the alarm from the second
// failed cycle in a row.
class OutcomeChange : public ViewTest {
 protected:
  OutcomeChange() {
    MonitorOptions& options = view->Setting().options;
    options.failuresBeforeAlarm = 2;
    options.recoverySound = options.eventLog = true;
    const QString home = QDir::currentPath();
    QDir::setCurrent(dir.path());  // the log goes beside setting.xml
    view->ApplyOptions();
    QDir::setCurrent(home);
    Add("127.0.0.1", port).remark = Gbk(u8"数据库, 主");
  }
  // One cycle with the server listening or stopped, until every outcome is in.
  void Cycle(bool serverUp) {
    if (!serverUp) server.reset();
    else if (!server) server.emplace(64, port);
    view->RefreshStatus();
    ASSERT_TRUE(WaitForOutcomes());
  }
  QString Tip() {
    view->resize(850, 600);
    view->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    const QPoint inside = TileRect(0, 850).ToQRect().center();
    QHelpEvent hover(QEvent::ToolTip, inside, view->mapToGlobal(inside));
    QApplication::sendEvent(view.get(), &hover);
    return QToolTip::text();
  }
  QTemporaryDir dir;
  const int port = RefusedPort();
  std::optional<TcpListener> server;
};

// Up, down three cycles (the second also superseded once, the third silenced), up, and
// down twice more.
TEST_F(OutcomeChange, ShowsInTheDetailsCountsAlarmSilenceRecoveryToneAndEventLog) {
  AudioCapture capture;
  Cycle(true);
  EXPECT_EQ(view->Counts(), (OutcomeCounts{1, 0, 0}));
  EXPECT_TRUE(Tip().startsWith(Utf8(u8"正常 自 ")) && Tip().contains(Utf8(u8"\n上次连接耗时 "))) << Tip().toStdString();
  Cycle(false);
  const auto downAt = Entry(0).history.changedAt;
  const QString since = QDateTime::fromMSecsSinceEpoch(
      std::chrono::duration_cast<std::chrono::milliseconds>(downAt.time_since_epoch()).count()).toString("HH:mm:ss");
  EXPECT_TRUE(Tip().startsWith(Utf8(u8"异常 自 ") + since) &&
              Tip().contains(Utf8(u8"上次失败 ") + since + ' ' + GbkToQString(Entry(0).result))) << Tip().toStdString();
  view->RefreshStatus();  // superseded before its outcome came
  EXPECT_EQ(view->Counts(), (OutcomeCounts{0, 1, 0})) << "a new cycle keeps the last outcomes";
  Cycle(false);
  EXPECT_EQ(Entry(0).history.changedAt, downAt);
  EXPECT_TRUE(Tip().contains(Utf8(u8"\n失败次数 2\n"))) << "each failed cycle counts once";
  EXPECT_EQ(Alarms(), 1u);
  view->SetSilenced(true);
  Cycle(false);
  EXPECT_EQ(Alarms(), 1u);
  EXPECT_TRUE(view->Silenced()) << "silence holds while nothing changes";
  ASSERT_TRUE(WaitFor([&] { return AlarmsDone(); }));  // the alarm's sound ends before the chirp
  Cycle(true);
  EXPECT_FALSE(view->Silenced());
  Cycle(false);
  EXPECT_EQ(Alarms(), 1u) << "the answer in between starts the count again";
  Cycle(false);
  EXPECT_EQ(Alarms(), 2u);
  EXPECT_EQ(view->Counts(), (OutcomeCounts{0, 1, 0}));
  EXPECT_TRUE(Tip().endsWith(Utf8(u8"失败 5/7"))) << "the superseded probe's outcome is not the entry's" << Tip().toStdString();
  ASSERT_TRUE(WaitFor([&] { return AlarmsDone() && view->Log()->Idle(); }, 10000));
  EXPECT_EQ(Occurrences(capture.Finish(), RecoveryChirp()), 1u) << "only the way back from Failed chirps";
  const std::vector<Strings> rows = RowsOf(dir.filePath("kelvanor-events.csv").toStdString());
  const std::string none = U8(u8"未检测"), ok = U8(u8"正常"), failed = U8(u8"异常");
  const std::pair<std::string, std::string> changes[] = {{none, ok}, {ok, failed}, {failed, ok}, {ok, failed}};
  ASSERT_EQ(rows.size(), std::size(changes));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool connect = changes[i].second == ok;
    EXPECT_EQ(Strings(rows[i].begin() + 1, rows[i].begin() + 6),
              Strings({"127.0.0.1", std::to_string(port), U8(u8"数据库, 主"), changes[i].first,
                       changes[i].second}));
    EXPECT_EQ(rows[i][7].empty(), !connect) << "connect ms only for a connect";
  }
  view->Setting().options.eventLog = false;
  view->ApplyOptions();
  EXPECT_EQ(view->Log(), nullptr);
}

// With the option on, an endpoint whose last five connects have a median over the
// threshold is slow: drawn amber, logged and signalled once, and back once the median is
// under it again. Loopback answers at once, so four slow connects are noted beforehand.
TEST_F(OutcomeChange, SlowIsTheMedianOfTheLastFiveConnectsOverTheThresholdDrawnAmberAndLogged) {
  view->Setting().options.slowAfter = std::chrono::milliseconds(100);
  for (int i = 0; i < 4; ++i) Entry(0).history.latency.AddConnect(900);
  QSignalSpy slowness(view.get(), &CKelvanorView::SlownessChanged);
  const bool slowAfter[] = {true, true, false};  // medians 900, 900, then a fast one
  for (const bool slow : slowAfter) {
    Cycle(true);
    EXPECT_EQ(Entry(0).slow, slow);
  }
  ASSERT_EQ(slowness.count(), 2);
  EXPECT_TRUE(slowness[0][1].toBool() && !slowness[1][1].toBool());
  for (int i = 0; i < 3; ++i) Entry(0).history.latency.AddConnect(900);
  Cycle(true);
  ASSERT_TRUE(Entry(0).slow);
  const QRect tile = TileRect(0, 850).ToQRect();
  Tip();  // shows the view
  EXPECT_EQ(view->grab().toImage().pixel(tile.right() - 6, tile.bottom() - 6) & 0xFFFFFF, 0xFFBF00u);
  Cycle(false);
  EXPECT_FALSE(Entry(0).slow) << "failing ends it without a change of its own";
  EXPECT_EQ(slowness.count(), 3);
  ASSERT_TRUE(WaitFor([&] { return view->Log()->Idle(); }));
  const std::vector<Strings> rows = RowsOf(dir.filePath("kelvanor-events.csv").toStdString());
  std::vector<std::string> changes;
  for (const Strings& row : rows) changes.push_back(row[4] + ">" + row[5]);
  EXPECT_EQ(changes, (std::vector<std::string>{U8(u8"未检测>正常"), U8(u8"正常>缓慢"), U8(u8"缓慢>正常"),
                                               U8(u8"正常>缓慢"), U8(u8"正常>异常")}));
}

}  // namespace
