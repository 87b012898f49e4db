// Each endpoint's details as its tile's tool tip, and silence until the next change.
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "board/status_board.h"
#include "tests/monitor/view_fixture.h"

#include <QDateTime>

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

QString Utf8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

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

class Details : public ViewTest {
 protected:
  QString TipOver(std::size_t index) {
    view->resize(850, 600);
    view->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    const QPoint inside = TileRect(index, 850).ToQRect().center();
    QHelpEvent hover(QEvent::ToolTip, inside, view->mapToGlobal(inside));
    QApplication::sendEvent(view.get(), &hover);
    return QToolTip::text();
  }
  void Cycle() {
    view->RefreshStatus();
    ASSERT_TRUE(WaitForOutcomes());
  }
};

// A server that goes down: its details turn from the last connect to the failure, and the
// change time stays while it keeps failing. A superseded probe's failure counts once.
TEST_F(Details, FollowTheOutcomesAndCountEachFailedCycleOnce) {
  auto server = std::make_unique<TcpListener>();
  IPInfo& entry = Add("127.0.0.1", server->port());
  Cycle();
  EXPECT_TRUE(TipOver(0).startsWith(Utf8(u8"正常 自 "))) << TipOver(0).toStdString();
  EXPECT_TRUE(entry.history.connectMs.has_value());
  server.reset();
  Cycle();
  const auto down = entry.history.changedAt;
  const QString downAt = QDateTime::fromMSecsSinceEpoch(
      std::chrono::duration_cast<std::chrono::milliseconds>(down.time_since_epoch()).count()).toString("HH:mm:ss");
  const QString tip = TipOver(0);
  EXPECT_TRUE(tip.startsWith(Utf8(u8"异常 自 ") + downAt)) << tip.toStdString();
  EXPECT_TRUE(tip.contains(Utf8(u8"上次失败 ") + downAt + ' ' + GbkToQString(entry.result)))
      << tip.toStdString();
  view->RefreshStatus();  // superseded before its outcome came
  Cycle();
  EXPECT_EQ(entry.history.failedCycles, 2u);
  EXPECT_EQ(entry.history.changedAt, down);
  EXPECT_TRUE(TipOver(0).endsWith(Utf8(u8"失败次数 2")));
  TipOver(1);  // no tile there
  EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
}

// Silence holds while nothing changes, however often an endpoint fails again; the next
// change ends it and sounds.
TEST_F(Details, SilenceHoldsUntilTheNextChange) {
  auto server = std::make_unique<TcpListener>();
  Add("127.0.0.1", RefusedPort());
  Add("127.0.0.1", server->port());
  Cycle();
  const std::size_t before = Alarms();
  QSignalSpy silence(view.get(), &CKelvanorView::SilenceChanged);
  view->SetSilenced(true);
  Cycle();
  Cycle();
  EXPECT_EQ(Alarms(), before);
  EXPECT_TRUE(view->Silenced());
  server.reset();
  Cycle();
  EXPECT_FALSE(view->Silenced());
  EXPECT_GE(Alarms(), before + 1);  // the change's own failure sounds
  EXPECT_EQ(silence.size(), 2);
  const std::size_t unsilenced = Alarms();
  Cycle();
  EXPECT_EQ(Alarms(), unsilenced + 2);
}

}  // namespace
