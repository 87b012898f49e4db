#include "monitor/alarm.h"
#include "platform/alarm_audio.h"
#include "tests/common/audio_capture.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

TEST(PlayAlarm, KindOneSoundsHalfASecondAt800HzAnyOtherKindPlaysTheFile) {
  for (int kind : {1, 2, 3, -1}) {
    SCOPED_TRACE(kind);
    AudioCapture capture;
    EXPECT_EQ(PlayAlarm({kind, "/nonexistent/alarm.wav"}), 0);  // a tone has sounded by now
    ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
    const auto samples = capture.Finish();
    const Span span = Audible(samples);
    if (kind != 1) {
      EXPECT_TRUE(Contains(samples, DefaultAlarmSound()));  // the file is missing
      continue;
    }
    EXPECT_NEAR(span.length(), kAlarmSampleRate / 2, kAlarmSampleRate / 100);
    EXPECT_NEAR(Frequency(samples, span, kAlarmSampleRate), 800, 8);
  }
}

using ViewAlarm = ViewTest;

TEST_F(ViewAlarm, KindZeroShowsTheFailureInSilence) {
  AudioCapture capture;
  view->Setting().soundType = 0;
  Add("127.0.0.1", RefusedPort());
  view->RefreshStatus();
  ASSERT_TRUE(WaitForState(0, Failed));
  Pump(100);
  EXPECT_EQ(Alarms(), 0u);
  EXPECT_EQ(Audible(capture.Finish()).length(), 0u);
}

TEST_F(ViewAlarm, EveryFailureOfACycleStartsItsOwnAlarm) {
  AudioCapture capture;
  view->Setting().soundType = 1;
  const int port = RefusedPort();
  for (int i = 0; i < 3; ++i) Add("127.0.0.1", port);
  view->RefreshStatus();
  for (std::size_t i = 0; i < 3; ++i) ASSERT_TRUE(WaitForState(i, Failed));
  EXPECT_EQ(Alarms(), 3u);
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();  // joins the workers, each of which waited for its tone
  // Tones that overlap sound as one, released together, not three in a row.
  const Span span = Audible(capture.Finish());
  EXPECT_GE(span.length(), std::size_t(kAlarmSampleRate / 2) - kAlarmSampleRate / 100);
  EXPECT_LT(span.length(), std::size_t(kAlarmSampleRate * 3 / 2));
}

TEST_F(ViewAlarm, WorkerPlaysTheChoiceMadeWhenItStarted) {
  AudioCapture capture;
  view->Setting().soundType = 2;
  view->Setting().soundFile = "/nonexistent/alarm.wav";
  view->OnSocketEvent(987654, FD_CONNECT | (WSAECONNREFUSED << 16));
  // The settings dialog may rewrite the record at once; the worker has its own copy.
  view->Setting().soundType = 1;
  view->Setting().soundFile.assign(4096, 'x');
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();
  EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound()));
}

}  // namespace
