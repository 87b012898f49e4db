#include <climits>

#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(RefreshPeriod, IsSecondsTimesThousandWithinOneSecondAndInt32Max) {
  EXPECT_EQ(RefreshPeriodMs(30), 30000);
  EXPECT_EQ(RefreshPeriodMs(1), 1000);
  EXPECT_EQ(RefreshPeriodMs(0), 1000);
  EXPECT_EQ(RefreshPeriodMs(-7), 1000);
  EXPECT_EQ(RefreshPeriodMs(INT32_MIN), 1000);
  EXPECT_EQ(RefreshPeriodMs(2147483), 2147483000);
  EXPECT_EQ(RefreshPeriodMs(2147484), INT32_MAX);  // 32-bit arithmetic would wrap here
  EXPECT_EQ(RefreshPeriodMs(INT32_MAX), INT32_MAX);
}

using RefreshTimer = ViewTest;

TEST_F(RefreshTimer, InitialUpdateRunsACycleThenTheTimerRunsMore) {
  AcceptAndClose server;
  Add("127.0.0.1", server.port());
  view->Setting().refreshTime = 0;  // bounded to one second; the record keeps 0
  view->OnInitialUpdate();
  EXPECT_TRUE(view->Timers().IsActive(kRefreshTimerId));
  EXPECT_NE(Entry(0).socket, nullptr);
  ASSERT_TRUE(WaitFor([&] { return server.accepted() >= 2; }, 5000));
  EXPECT_EQ(view->Setting().refreshTime, 0);
}

TEST_F(RefreshTimer, OtherTimerIdsAreIgnored) {
  Add("127.0.0.1", RefusedPort());
  view->OnTimer(999);
  EXPECT_EQ(Entry(0).socket, nullptr);
  view->OnTimer(kRefreshTimerId);
  EXPECT_NE(Entry(0).socket, nullptr);
  EXPECT_TRUE(WaitForOutcomes());
}

TEST_F(RefreshTimer, RestartKeepsOneTimerWithTheNewPeriod) {
  view->OnInitialUpdate();
  view->Setting().refreshTime = 5;
  view->RestartRefreshTimer();
  EXPECT_TRUE(view->Timers().IsActive(kRefreshTimerId));
}
