#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "monitor/alarm.h"
#include "platform/alarm_audio.h"
#include "tests/common/audio_capture.h"
#include "tests/common/process_counts.h"
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

void Fail(CKelvanorView& view, int times) {
  for (int i = 0; i < times; ++i) view.OnSocketEvent(987654 + i, FD_CONNECT | (WSAECONNREFUSED << 16));
}

TEST_F(ViewAlarm, WorkerPlaysTheChoiceMadeWhenItStarted) {
  AudioCapture capture;  // the view's choice: a missing file, so the default sound
  Fail(*view, 1);
  // The settings dialog may rewrite the record at once; the worker has its own copy.
  view->Setting().soundType = 1;
  view->Setting().soundFile.assign(4096, 'x');
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();
  EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound()));
}

TEST_F(ViewAlarm, BeepsFollowOneAnotherWithAtMostEightWaitingBehindTheOnePlaying) {
  constexpr std::size_t kBeep = kAlarmSampleRate * kBeepDurationMs / 1000;
  AudioCapture capture;
  view->Setting().soundType = 1;
  Fail(*view, 1);
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));  // the worker has taken the first
  Fail(*view, 19);
  EXPECT_EQ(Alarms(), 20u);
  // Ten beeps would end within five and a half seconds of sound.
  ASSERT_TRUE(WaitFor([&] { return capture.Captured() > 6 * kAlarmSampleRate; }, 30000));
  const Span span = Audible(capture.Finish());
  EXPECT_EQ(std::lround(double(span.length()) / kBeep), 9) << span.length() << " samples of tones";
}

// A FIFO nobody writes to. At its end it opens and closes the writing side, which lets
// any reader still waiting to open it go on and read an empty file.
class Fifo {
 public:
  Fifo() { EXPECT_EQ(mkfifo(path.c_str(), 0600), 0); }
  ~Fifo() {
    const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) close(writer);
  }
  QTemporaryDir dir;
  const std::string path = dir.filePath("alarm.wav").toStdString();
};

TEST_F(ViewAlarm, FifoPlaysTheDefaultSoundWithoutHoldingAThreadOrTheQuit) {
  Fifo fifo;
  AudioCapture capture;
  view->Setting().soundFile = fifo.path;
  const int threads = LiveThreads();
  Fail(*view, 20);
  EXPECT_LE(LiveThreads(), threads + 2);  // the worker and the device's own thread
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();  // joins the worker
  EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound()));
}
