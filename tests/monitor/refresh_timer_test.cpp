#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

using RefreshTimer = ViewTest;

TEST_F(RefreshTimer, PeriodIsComputedIn64BitsAndClampedToOneSecondAndInt32Max) {
  const std::pair<std::int32_t, int> periods[] = {{30, 30000}, {1, 1000}, {0, 1000}, {-7, 1000},
      {INT32_MIN, 1000}, {2147483, 2147483000}, {2147484, INT32_MAX},  // 32 bits would wrap here
      {INT32_MAX, INT32_MAX}, {5, 5000}};
  view->OnInitialUpdate();
  for (auto [seconds, ms] : periods) {
    SCOPED_TRACE(seconds);
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

TEST_F(RefreshTimer, InitialUpdateRunsACycleThenOnlyTheRefreshTimerRunsMore) {
  Acceptor server(Acceptor::Then::kClose);
  Add("127.0.0.1", server.port());
  view->OnTimer(999);  // not the refresh timer: ignored
  EXPECT_EQ(Entry(0).socket, nullptr);
  view->Setting().refreshTime = 0;  // one second
  view->OnInitialUpdate();
  EXPECT_NE(Entry(0).socket, nullptr);
  ASSERT_TRUE(WaitFor([&] { return server.accepted() >= 2; }, 5000));
}
