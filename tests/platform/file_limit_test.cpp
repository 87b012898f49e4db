#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_limit.h"
#include "tests/common/process_counts.h"

using namespace kelvanor;
using namespace kelvanor::testing;

// Growing the descriptor table while threads run costs the kernel milliseconds at each
// doubling, which stalled the first cycle of 10,000 endpoints: the start-up call raises
// the soft limit to the hard one and grows the table to it at once. In a forked child,
// whose table starts sized to its open descriptors.
TEST(FileLimit, RaisesTheSoftLimitToTheHardOneAndGrowsTheDescriptorTableToItAtOnce) {
  constexpr rlim_t kLimit = 4096;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit low{kLimit / 2, kLimit};
    if (setrlimit(RLIMIT_NOFILE, &low) != 0 || ProcStatus("FDSize") >= static_cast<long>(kLimit)) _exit(10);
    const int before = OpenDescriptors();
    rlimit now{};
    if (RaiseOpenFileLimit() != static_cast<long>(kLimit) || getrlimit(RLIMIT_NOFILE, &now) != 0 || now.rlim_cur != kLimit)
      _exit(11);
    if (ProcStatus("FDSize") < static_cast<long>(kLimit)) _exit(12);
    _exit(OpenDescriptors() == before ? 0 : 13);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0) << "exit 10 << 8: the child's table was already that big; 11: the soft limit was not raised to "
                          "the hard one; 12: the table did not grow; 13: a descriptor was left open";
}
