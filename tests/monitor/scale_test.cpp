// Many endpoints in one cycle, whose walk spreads over event-loop turns: under an
// open-file limit too small for all of them one "Error." box for the whole cycle and the
// entries that got a socket work; a refresh in the middle of the walk loses no outcome
// and leaks no descriptor.
#include "tests/common/process_counts.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

using Scale = ViewTest;

// With no slice time, each slice starts the fewest entries it may, so the walk of this
// list takes ten turns whatever the machine's speed.
constexpr std::size_t kSlice = CKelvanorView::kEntriesPerSliceAtLeast;
constexpr std::size_t kLongList = 10 * kSlice;

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
    EXPECT_EQ(boxes.calls[0].text, kTooManyFiles);
    ASSERT_TRUE(WaitForOutcomes());
    int started = 0;
    for (std::size_t i = 0; i < kEndpoints; ++i) {
      const bool got = Entry(i).socket->handle != INVALID_SOCKET;
      started += got;
      EXPECT_EQ(Entry(i).state, got ? Connected : Connecting) << i;
      EXPECT_EQ(Entry(i).socket->errorText, got ? "" : kTooManyFiles) << i;
    }
    EXPECT_GT(started, 0);
    EXPECT_LT(started, kEndpoints);
  }
  // With the limit back, the next cycle gives every entry its probe and shows no box.
  view->RefreshStatus();
  for (std::size_t i = 0; i < kEndpoints; ++i) ASSERT_TRUE(WaitForState(i, Connected)) << i;
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(Alarms(), 1u);  // the first probe's refusal only
}

TEST_F(Scale, RefreshInTheMiddleOfTheWalkTakesOverLosesNoOutcomeAndLeaksNoDescriptor) {
  TcpListener listener(4 * kLongList);
  const int refused = RefusedPort();
  for (std::size_t i = 0; i < kLongList; ++i) Add("127.0.0.1", i % 2 ? listener.port() : refused);
  closesocket(WSASocketA(2, 1, 0));  // the socket layer's own descriptors come first
  FlushSocketWork();
  const int before = OpenDescriptors();
  view->SetSliceTime(std::chrono::microseconds(0));
  view->RefreshStatus();
  ASSERT_TRUE(view->IsWalking());
  EXPECT_NE(Entry(kSlice - 1).socket, nullptr);
  EXPECT_EQ(Entry(kSlice).socket, nullptr);  // left to a later turn
  // Refresh commands faster than the walk: each cycle goes on where the last one stood,
  // so the end of the list is reached all the same.
  for (std::size_t n = 1; n < kLongList / kSlice; ++n) view->RefreshStatus();
  for (std::size_t i = 0; i < kLongList; ++i) ASSERT_NE(Entry(i).socket, nullptr) << i;
  view->RestartRefreshTimer();
  ASSERT_TRUE(WaitForOutcomes());
  ASSERT_TRUE(WaitFor([&] { return !view->IsWalking(); }));
  for (std::size_t i = 0; i < kLongList; ++i) {
    EXPECT_EQ(Entry(i).state, i % 2 ? Connected : Failed) << i;
    EXPECT_EQ(Entry(i).result, Gbk(i % 2 ? u8"正常连接" : u8"连接异常")) << i;
  }
  // The last cycle walked the whole list once more after its first slice; every refused
  // probe sounded its alarm, superseded ones included.
  EXPECT_EQ(Alarms(), kLongList / 2 + (kLongList - kSlice) / 2);
  EXPECT_TRUE(boxes.calls.empty());
  EXPECT_TRUE(view->Setting().abandonedProbes.empty());
  // One descriptor per entry, however the walks overlapped; none once they are gone.
  FlushSocketWork();
  EXPECT_EQ(OpenDescriptors() - before, static_cast<int>(kLongList));
  view.reset();
  FlushSocketWork();
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
