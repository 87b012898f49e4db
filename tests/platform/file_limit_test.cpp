#include <gtest/gtest.h>

#include "platform/file_limit.h"
#include "tests/common/process_counts.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(FileLimit, RaisesTheSoftLimitToTheHardOne) {
  OpenFileLimit lowered(64);
  ASSERT_TRUE(lowered.ok());
  const long raised = RaiseOpenFileLimit();
  rlimit now{};
  getrlimit(RLIMIT_NOFILE, &now);
  EXPECT_EQ(now.rlim_cur, lowered.hard());
  EXPECT_EQ(raised, lowered.hard() == RLIM_INFINITY ? -1 : static_cast<long>(lowered.hard()));
}
