// What the options do in the running view: the alarm after N failed cycles in a row, the
// recovery tone, and the event log of every change.
#include <QDir>
#include <QTemporaryDir>

#include "tests/common/audio_capture.h"
#include "tests/common/csv_rows.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

class OptionsEffect : public ViewTest {
 protected:
  // One cycle with each entry on the port given for it, until every outcome is in.
  void Cycle(std::initializer_list<int> ports) {
    std::size_t i = 0;
    for (int port : ports) Entry(i++).port = port;
    view->RefreshStatus();
    ASSERT_TRUE(WaitForOutcomes());
  }
  TcpListener server;
  const int up = server.port(), down = RefusedPort();
};

// Two endpoints, alarm from the second failed cycle in a row: the one that answers in
// between starts its count again.
TEST_F(OptionsEffect, AlarmSoundsFromTheNthFailedCycleInARowOfEachEndpoint) {
  Add("127.0.0.1", down);
  Add("127.0.0.1", down);
  view->Setting().options.failuresBeforeAlarm = 2;
  const std::tuple<int, int, std::size_t> cycles[] = {{down, down, 0}, {down, up, 1}, {down, down, 2}, {down, down, 4}};
  for (const auto& [first, second, alarms] : cycles) {
    Cycle({first, second});
    EXPECT_EQ(Alarms(), alarms);
  }
}

// Only the way back from Failed chirps: not the first connect, nor staying connected.
TEST_F(OptionsEffect, RecoveryTonePlaysOnceWhenAFailedEndpointAnswersAgain) {
  view->Setting().soundType = 0;
  view->Setting().options.recoverySound = true;
  Add("127.0.0.1", up);
  AudioCapture capture;
  for (int port : {up, down, up, up}) Cycle({port});
  ASSERT_TRUE(WaitFor([&] { return AlarmsDone(); }, 10000));
  const auto samples = capture.Finish();
  EXPECT_TRUE(Contains(samples, RecoveryChirp()));
  EXPECT_NEAR(Audible(samples).length(), RecoveryChirp().size(), kAlarmSampleRate / 100) << "more than one chirp";
}

TEST_F(OptionsEffect, EventLogHasOneLinePerChangeOfLastOutcome) {
  QTemporaryDir dir;
  const QString home = QDir::currentPath();
  QDir::setCurrent(dir.path());
  view->Setting().options.eventLog = true;
  view->ApplyOptions();
  QDir::setCurrent(home);
  Add("127.0.0.1", up).remark = Gbk(u8"数据库, 主");
  for (int port : {up, down, down, up}) Cycle({port});
  ASSERT_TRUE(WaitFor([&] { return view->Log()->Idle(); }));
  const std::vector<Strings> rows = RowsOf(dir.filePath("kelvanor-events.csv").toStdString());
  ASSERT_EQ(rows.size(), 3u);
  const std::string none = "\xE6\x9C\xAA\xE6\xA3\x80\xE6\xB5\x8B", ok = "\xE6\xAD\xA3\xE5\xB8\xB8",
                    failed = "\xE5\xBC\x82\xE5\xB8\xB8";  // 未检测, 正常, 异常
  const std::pair<std::string, std::string> changes[] = {{none, ok}, {ok, failed}, {failed, ok}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(Strings(rows[i].begin() + 1, rows[i].begin() + 6),
              Strings({"127.0.0.1", std::to_string(i == 1 ? down : up), "\xE6\x95\xB0\xE6\x8D\xAE\xE5\xBA\x93, \xE4\xB8\xBB",
                       changes[i].first, changes[i].second}));
    EXPECT_EQ(rows[i][7].empty(), i == 1) << "connect ms only for a connect";
  }
  view->Setting().options.eventLog = false;
  view->ApplyOptions();
  EXPECT_EQ(view->Log(), nullptr);
}

}  // namespace
