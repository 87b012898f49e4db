// Many endpoints in one cycle under an open-file limit that is too small for all of
// them: one "Error." box for the whole cycle, and the entries that got a socket work.
#include <sys/resource.h>

#include "tests/common/process_counts.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// Lowers the soft open-file limit for as long as it lives.
class OpenFileLimit {
 public:
  explicit OpenFileLimit(rlim_t soft) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit tight = saved_;
    tight.rlim_cur = soft;
    ok_ = setrlimit(RLIMIT_NOFILE, &tight) == 0;
  }
  ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  bool ok_ = false;
};

using Scale = ViewTest;

TEST_F(Scale, TooFewDescriptorsShowOneBoxAndTheOtherEntriesKeepWorking) {
  constexpr int kEndpoints = 300;
  constexpr int kRoom = 100;  // descriptors left for probes
  // One real probe first: in the sanitizer build the first type check of each class
  // needs a descriptor of its own, which must not fall under the lowered limit.
  Add("127.0.0.1", RefusedPort());
  view->RefreshStatus();
  ASSERT_TRUE(WaitForOutcomes());
  view->Setting().Clear();
  TcpListener listener(4 * kEndpoints);  // room for both cycles' connections
  for (int i = 0; i < kEndpoints; ++i) Add("127.0.0.1", listener.port());
  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  {
    OpenFileLimit limit(static_cast<rlim_t>(OpenDescriptors() + kRoom));
    ASSERT_TRUE(limit.ok());
    view->RefreshStatus();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Error - Too many open files. - in [Socket::Create()]");
    EXPECT_EQ(boxes.calls[0].caption, "Error.");
    int started = 0;
    for (std::size_t i = 0; i < kEndpoints; ++i) started += Entry(i).socket->handle != INVALID_SOCKET;
    EXPECT_GT(started, 0);
    EXPECT_LT(started, kEndpoints);
    ASSERT_TRUE(WaitForOutcomes());
    for (std::size_t i = 0; i < kEndpoints; ++i) {
      const Socket& probe = *Entry(i).socket;
      if (probe.handle != INVALID_SOCKET) {
        EXPECT_EQ(Entry(i).state, Connected) << i;
      } else {
        EXPECT_EQ(Entry(i).state, Connecting) << i;
        EXPECT_EQ(Entry(i).result, Gbk(u8"连接中..."));
        EXPECT_STREQ(probe.errorText, "Error - Too many open files. - in [Socket::Create()]");
      }
    }
  }
  // With the limit back, the next cycle gives every entry its probe and shows no box.
  view->RefreshStatus();
  for (std::size_t i = 0; i < kEndpoints; ++i) ASSERT_TRUE(WaitForState(i, Connected)) << i;
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(Alarms(), 1u);  // the first probe's refusal only
}

}  // namespace
