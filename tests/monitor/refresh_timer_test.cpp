#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

using RefreshTimer = ViewTest;

// The first cycle runs at once, later ones on the refresh timer only. Its period is
// computed in 64 bits and clamped to one second and INT32_MAX; the connect timeout is
// Windows' own or half the period, whichever is shorter, but at least half a second.
TEST_F(RefreshTimer, InitialUpdateRunsACycleThenTheTimerWhosePeriodIsClampedAndHalvedForTheConnectTimeout) {
  Acceptor server(Acceptor::Then::kClose);
  Add("127.0.0.1", server.port());
  view->OnTimer(999);  // not the refresh timer: ignored
  EXPECT_EQ(Entry(0).socket, nullptr);
  view->Setting().refreshTime = 0;  // one second
  view->OnInitialUpdate();
  EXPECT_NE(Entry(0).socket, nullptr);
  ASSERT_TRUE(WaitFor([&] { return server.accepted() >= 2; }, 5000));
  const std::tuple<std::int32_t, int, int> periods[] = {{30, 30000, 15000}, {1, 1000, 500}, {0, 1000, 500},
      {-7, 1000, 500}, {INT32_MIN, 1000, 500}, {2147483, 2147483000, 21000},
      {2147484, INT32_MAX, 21000},  // 32 bits would wrap here
      {INT32_MAX, INT32_MAX, 21000}, {3, 3000, 1500}, {42, 42000, 21000}};
  for (auto [seconds, ms, timeout] : periods) {
    SCOPED_TRACE(seconds);
    EXPECT_EQ(ConnectTimeoutFor(seconds).count(), timeout);
    CKelvanorView starting;
    starting.Setting().refreshTime = seconds;
    starting.OnInitialUpdate();
    EXPECT_EQ(starting.Timers().PeriodOf(kRefreshTimerId), ms);
    // Confirmed settings restart the running view's timer with the new period.
    view->Setting().refreshTime = seconds;
    view->RestartRefreshTimer();
    EXPECT_EQ(view->Timers().PeriodOf(kRefreshTimerId), ms);
    EXPECT_EQ(view->Setting().refreshTime, seconds);  // the record keeps what was set
  }
}
