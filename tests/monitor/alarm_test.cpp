#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "monitor/alarm.h"
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

// Kind 1 is a tone of its own, told by its pitch: the alarm's half second at 800 Hz, the
// recovery's rising chirp, higher and shorter. Other kinds play the chosen wave, or the
// default sound when it is missing.
TEST(AlarmWorker, KindOneSoundsItsOwnTonesAndOtherKindsTheChosenWaveOrTheDefaultSound) {
  QTemporaryDir dir;
  const std::string wave = dir.filePath("recovered.wav").toStdString();
  WriteWave(wave, Tone(1000));
  using Notes = std::vector<std::pair<int, double>>;  // ms and Hz, one after the other
  const std::tuple<bool, AlarmSound, std::vector<std::int16_t>, Notes, int> cases[] = {
      {false, {1, ""}, {}, {{500, 800}}, 10}, {true, {1, "/nonexistent/alarm.wav"}, {}, {{70, 1200}, {100, 1600}}, 2},
      {false, {2, "/nonexistent/alarm.wav"}, DefaultAlarmSound(), {}, 0}, {false, {3, ""}, DefaultAlarmSound(), {}, 0},
      {false, {-1, ""}, DefaultAlarmSound(), {}, 0}, {true, {2, wave}, Tone(1000), {}, 0},
      {true, {3, "/nonexistent/up.wav"}, DefaultAlarmSound(), {}, 0}};
  for (const auto& [recovery, sound, expected, notes, slackMs] : cases) {
    SCOPED_TRACE(::testing::Message() << recovery << ' ' << sound.soundType << ' ' << sound.soundFile);
    AudioCapture capture;
    AlarmWorker worker;
    ASSERT_TRUE(recovery ? worker.RequestRecovery(sound) : worker.Request(sound));
    const auto samples = Heard(capture, worker);
    EXPECT_EQ(Contains(samples, RecoveryChirp()), recovery && sound.soundType == 1);
    EXPECT_TRUE(expected.empty() || Contains(samples, expected));
    if (notes.empty()) continue;
    const Span tone = Audible(samples);
    std::size_t at = tone.first;
    int total = 0;
    for (const auto& [length, hz] : notes) {
      total += length;
      const Span note{at, std::min(tone.last, at + Ms(length) - 1)};
      EXPECT_NEAR(Frequency(samples, note, kAlarmSampleRate), hz, hz / 80);
      at = note.last + 1;
    }
    EXPECT_NEAR(tone.length(), Ms(total), Ms(slackMs));
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

// A FIFO nobody writes to. At its end it opens and closes the writing side, which lets
// any reader still waiting to open it go on and read an empty file.
struct Fifo {
  Fifo() { EXPECT_EQ(mkfifo(path.c_str(), 0600), 0); }
  ~Fifo() { close(open(path.c_str(), O_WRONLY | O_NONBLOCK)); }
  QTemporaryDir dir;
  const std::string path = dir.filePath("alarm.wav").toStdString();
};

using ViewAlarm = ViewTest;

TEST_F(ViewAlarm, FifoPlaysTheDefaultSoundWithoutHoldingAThreadOrTheQuitAndTheWorkerKeepsItsOwnChoice) {
  Fifo fifo;
  AudioCapture capture;
  view->Setting().soundFile = fifo.path;
  const int threads = LiveThreads();
  for (int i = 0; i < 20; ++i) view->OnSocketEvent(987654 + i, FD_CONNECT | (WSAECONNREFUSED << 16));
  // The settings dialog may rewrite the record at once; the worker has its own copy.
  view->Setting().soundType = 1;
  view->Setting().soundFile.assign(4096, 'x');
  EXPECT_EQ(Alarms(), 20u);  // every alarm asked for counts, those the full queue drops too
  EXPECT_LE(LiveThreads(), threads + 2);  // the worker and the device's own thread
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  view.reset();  // joins the worker
  EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound()));
}
