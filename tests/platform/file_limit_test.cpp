#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

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

// The size of the descriptor table, from /proc/self/status.
long TableSize() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("FDSize:", 0) == 0) return std::stol(line.substr(7));
  return -1;
}

// Growing the table while threads run costs the kernel milliseconds at each doubling,
// which stalled the first cycle of 10,000 endpoints: the start-up call grows it to the
// limit at once. A forked child starts with a table sized to its open descriptors.
TEST(FileLimit, GrowsTheDescriptorTableToTheLimitAtOnceAndLeavesNothingOpen) {
  constexpr rlim_t kLimit = 4096;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit low{kLimit, kLimit};
    if (setrlimit(RLIMIT_NOFILE, &low) != 0 || TableSize() >= static_cast<long>(kLimit)) _exit(10);
    const int before = OpenDescriptors();
    RaiseOpenFileLimit();
    if (TableSize() < static_cast<long>(kLimit)) _exit(11);
    _exit(OpenDescriptors() == before ? 0 : 12);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0) << "exit 10 << 8: the child's table was already that big; 11: it did not grow; 12: a descriptor was left open";
}
