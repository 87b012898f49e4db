#include "monitor/alarm.h"
#include "platform/alarm_audio.h"
#include "tests/common/audio_capture.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(PlayAlarm, KindOneSoundsHalfASecondAt800HzAnyOtherKindPlaysTheFile) {
  for (int kind : {1, 2, 3, -1}) {
    AudioCapture capture;
    EXPECT_EQ(PlayAlarm({kind, "/nonexistent/alarm.wav"}), 0);  // a tone has sounded by now
    ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
    const auto samples = capture.Finish();
    if (kind != 1) {
      EXPECT_TRUE(Contains(samples, DefaultAlarmSound())) << kind;  // the file is missing
      continue;
    }
    const Span span = Audible(samples);
    EXPECT_NEAR(span.length(), kAlarmSampleRate / 2, kAlarmSampleRate / 100);
    EXPECT_NEAR(Frequency(samples, span, kAlarmSampleRate), 800, 8);
  }
}

using ViewAlarm = ViewTest;

TEST_F(ViewAlarm, WorkerPlaysTheChoiceMadeWhenItStarted) {
  AudioCapture capture;  // the view's choice: a missing file, so the default sound
  view->OnSocketEvent(987654, FD_CONNECT | (WSAECONNREFUSED << 16));
  // The settings dialog may rewrite the record at once; the worker has its own copy.
  view->Setting().soundType = 1;
  view->Setting().soundFile.assign(4096, 'x');
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();
  EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound()));
}
