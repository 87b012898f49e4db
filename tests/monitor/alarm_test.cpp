#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "monitor/alarm.h"
#include "platform/alarm_audio.h"
#include "tests/common/audio_capture.h"
#include "tests/common/process_counts.h"
#include "tests/common/wave_file.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// Everything the worker was asked for, once it has all sounded.
std::vector<std::int16_t> Heard(AudioCapture& capture, const AlarmWorker& worker) {
  EXPECT_TRUE(WaitFor([&] { return worker.Idle() && !IsSoundPlaying(); }, 20000));
  return capture.Finish();
}

constexpr std::size_t Ms(int ms) { return std::size_t(kAlarmSampleRate) * ms / 1000; }

}  // namespace

// Kind 1 is the tone of its own: the alarm's half second at 800 Hz, the recovery's rising
// chirp, higher and shorter.
TEST(AlarmWorker, KindOneSoundsTheBeepForAnAlarmAndTheRisingChirpForARecovery) {
  const std::tuple<bool, int, int, std::vector<std::pair<int, double>>> cases[] = {
      {false, 500, 10, {{500, 800}}}, {true, 170, 2, {{70, 1200}, {100, 1600}}}};
  for (const auto& [recovery, ms, slack, notes] : cases) {
    AudioCapture capture;
    AlarmWorker worker;
    ASSERT_TRUE(recovery ? worker.RequestRecovery({1, "/nonexistent/alarm.wav"}) : worker.Request({1, ""}));
    const auto samples = Heard(capture, worker);
    const Span tone = Audible(samples);
    EXPECT_NEAR(tone.length(), Ms(ms), Ms(slack)) << recovery;
    std::size_t at = tone.first;
    for (const auto& [length, hz] : notes) {
      const Span note{at, std::min(tone.last, at + Ms(length) - 1)};
      EXPECT_NEAR(Frequency(samples, note, kAlarmSampleRate), hz, hz / 80) << recovery;
      at = note.last + 1;
    }
  }
}

TEST(AlarmWorker, OtherKindsPlayTheChosenWaveOrTheDefaultSoundWhenItIsMissing) {
  QTemporaryDir dir;
  const std::string wave = dir.filePath("recovered.wav").toStdString();
  WriteWave(wave, Tone(1000));
  const std::tuple<bool, AlarmSound, std::vector<std::int16_t>> cases[] = {
      {false, {2, "/nonexistent/alarm.wav"}, DefaultAlarmSound()}, {false, {3, ""}, DefaultAlarmSound()},
      {false, {-1, ""}, DefaultAlarmSound()}, {true, {2, wave}, Tone(1000)},
      {true, {3, "/nonexistent/up.wav"}, DefaultAlarmSound()}};
  for (const auto& [recovery, sound, expected] : cases) {
    AudioCapture capture;
    AlarmWorker worker;
    ASSERT_TRUE(recovery ? worker.RequestRecovery(sound) : worker.Request(sound));
    const auto samples = Heard(capture, worker);
    EXPECT_TRUE(Contains(samples, expected)) << sound.soundType << sound.soundFile;
    EXPECT_FALSE(Contains(samples, RecoveryChirp()));
  }
}

// Alarms and recoveries share one queue: at most kMaxWaiting behind the one playing.
TEST(AlarmWorker, RecoveriesWaitBehindTheBeepPlayingAndKeepToTheQueueBound) {
  AudioCapture capture;
  AlarmWorker worker;
  worker.Request({1, ""});
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));  // the worker has taken the beep
  for (int i = 0; i < 12; ++i) EXPECT_TRUE(worker.RequestRecovery({1, ""}));
  EXPECT_EQ(worker.Requested(), 1u);  // recoveries are not alarms
  const auto samples = Heard(capture, worker);
  EXPECT_EQ(Occurrences(samples, RecoveryChirp()), AlarmWorker::kMaxWaiting);
  const auto firstChirp = std::search(samples.begin(), samples.end(), RecoveryChirp().begin(), RecoveryChirp().end());
  EXPECT_GE(std::size_t(firstChirp - samples.begin()), Ms(500));  // the whole beep came first
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
  EXPECT_EQ(Alarms(), 20u);  // every alarm asked for counts, those the full queue drops too
  EXPECT_LE(LiveThreads(), threads + 2);  // the worker and the device's own thread
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();  // joins the worker
  EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound()));
}
