// Many endpoints in one cycle, whose walk spreads over event-loop turns: under an
// open-file limit too small for all of them one "Error." box for the whole cycle and the
// entries that got a socket work; a refresh in the middle of the walk loses no outcome
// and leaks no descriptor.
#include <sys/resource.h>

#include <algorithm>
#include <vector>

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
  view->SetSliceTime(std::chrono::microseconds(0));  // the failures span many slices
  for (int i = 0; i < kEndpoints; ++i) Add("127.0.0.1", listener.port());
  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  {
    OpenFileLimit limit(static_cast<rlim_t>(OpenDescriptors() + kRoom));
    ASSERT_TRUE(limit.ok());
    view->RefreshStatus();
    ASSERT_TRUE(WaitFor([&] { return !view->IsWalking(); }));
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
  ASSERT_TRUE(WaitFor([&] { return !view->IsWalking(); }));
  for (std::size_t i = 0; i < kEndpoints; ++i) ASSERT_TRUE(WaitForState(i, Connected)) << i;
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(Alarms(), 1u);  // the first probe's refusal only
}

// With no slice time, each slice starts the fewest entries it may, so the walk of this
// list takes ten turns whatever the machine's speed.
constexpr std::size_t kSlice = CKelvanorView::kEntriesPerSliceAtLeast;
constexpr std::size_t kLongList = 10 * kSlice;

TEST_F(Scale, LongListIsWalkedOverSeveralTurnsAndEveryOutcomeArrives) {
  TcpListener listener(2 * kLongList);
  const int refused = RefusedPort();
  for (std::size_t i = 0; i < kLongList; ++i) Add("127.0.0.1", i % 2 ? listener.port() : refused);
  view->Setting().soundType = 0;
  view->SetSliceTime(std::chrono::microseconds(0));
  view->RefreshStatus();
  EXPECT_TRUE(view->IsWalking());
  EXPECT_NE(Entry(kSlice - 1).socket, nullptr);
  EXPECT_EQ(Entry(kSlice).socket, nullptr);  // left to a later turn
  ASSERT_TRUE(WaitForOutcomes());
  EXPECT_FALSE(view->IsWalking());
  for (std::size_t i = 0; i < kLongList; ++i) {
    EXPECT_EQ(Entry(i).state, i % 2 ? Connected : Failed) << i;
    EXPECT_EQ(Entry(i).result, Gbk(i % 2 ? u8"正常连接" : u8"连接异常")) << i;
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(Scale, RefreshInTheMiddleOfTheWalkLosesNoOutcomeAndLeaksNoDescriptor) {
  TcpListener listener(4 * kLongList);
  const int refused = RefusedPort();
  for (std::size_t i = 0; i < kLongList; ++i) Add("127.0.0.1", i % 2 ? listener.port() : refused);
  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  const int before = OpenDescriptors();
  view->SetSliceTime(std::chrono::microseconds(0));
  view->RefreshStatus();
  ASSERT_TRUE(view->IsWalking());
  // The entries the first walk did not reach yet, and those it did.
  std::vector<Socket*> firstProbes;
  for (std::size_t i = 0; i < kLongList; ++i) firstProbes.push_back(Entry(i).socket.get());
  const std::size_t reached = kLongList - std::count(firstProbes.begin(), firstProbes.end(), nullptr);
  view->RefreshStatus();  // a refresh command before the walk is done
  view->RestartRefreshTimer();
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_TRUE(WaitFor([&] { return !view->IsWalking(); }));
  std::size_t renewed = 0;
  for (std::size_t i = 0; i < kLongList; ++i) {
    ASSERT_NE(Entry(i).socket, nullptr) << i;
    renewed += firstProbes[i] != nullptr;
    EXPECT_EQ(Entry(i).state, i % 2 ? Connected : Failed) << i;
  }
  EXPECT_EQ(reached, kSlice);
  EXPECT_EQ(renewed, reached);
  // Every refused probe of both cycles sounded its alarm, superseded ones included.
  const std::size_t refusedEntries = kLongList / 2;
  std::size_t refusedReachedTwice = 0;
  for (std::size_t i = 0; i < kLongList; i += 2) refusedReachedTwice += firstProbes[i] != nullptr;
  EXPECT_EQ(Alarms(), refusedEntries + refusedReachedTwice);
  EXPECT_TRUE(boxes.calls.empty());
  EXPECT_TRUE(view->Setting().abandonedProbes.empty());
  // One descriptor per entry, however the two walks overlapped; none once they are gone.
  FlushSocketWork();
  EXPECT_EQ(OpenDescriptors() - before, static_cast<int>(kLongList));
  view.reset();
  FlushSocketWork();
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
