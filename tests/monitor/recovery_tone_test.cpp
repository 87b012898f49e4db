// The sound of an endpoint that answers again, captured through SDL's disk driver.
#include <gtest/gtest.h>

#include "monitor/alarm.h"
#include "tests/common/audio_capture.h"
#include "tests/common/loopback.h"
#include "tests/common/wave_file.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// Everything the worker was asked for, once it has all sounded.
std::vector<std::int16_t> Heard(AudioCapture& capture, const AlarmWorker& worker) {
  EXPECT_TRUE(WaitFor([&] { return worker.Idle() && !IsSoundPlaying(); }, 20000));
  return capture.Finish();
}

std::size_t Occurrences(const std::vector<std::int16_t>& hay, const std::vector<std::int16_t>& needle) {
  std::size_t count = 0;
  for (auto at = hay.begin(); (at = std::search(at, hay.end(), needle.begin(), needle.end())) != hay.end();
       at += needle.size())
    ++count;
  return count;
}

constexpr std::size_t Ms(int ms) { return std::size_t(kAlarmSampleRate) * ms / 1000; }

}  // namespace

TEST(RecoveryTone, OneRequestSoundsOneRisingChirpHigherAndShorterThanTheBeep) {
  AudioCapture capture;
  AlarmWorker worker;
  ASSERT_TRUE(worker.RequestRecovery({1, "/nonexistent/alarm.wav"}));
  const auto samples = Heard(capture, worker);
  const Span chirp = Audible(samples);
  EXPECT_NEAR(chirp.length(), Ms(170), Ms(2));
  const Span low{chirp.first, chirp.first + Ms(70) - 1};
  const Span high{low.last + 1, chirp.last};
  EXPECT_NEAR(Frequency(samples, low, kAlarmSampleRate), 1200, 20);
  EXPECT_NEAR(Frequency(samples, high, kAlarmSampleRate), 1600, 20);
}

TEST(RecoveryTone, OtherKindsPlayTheChosenWaveOrTheDefaultSoundWhenItIsMissing) {
  QTemporaryDir dir;
  const std::string wave = dir.filePath("recovered.wav").toStdString();
  WriteWave(wave, Tone(1000));
  struct Case {
    AlarmSound sound;
    std::vector<std::int16_t> expected;
  };
  for (const Case& c : {Case{{2, wave}, Tone(1000)}, Case{{3, "/nonexistent/up.wav"}, DefaultAlarmSound()}}) {
    AudioCapture capture;
    AlarmWorker worker;
    ASSERT_TRUE(worker.RequestRecovery(c.sound));
    const auto samples = Heard(capture, worker);
    EXPECT_TRUE(Contains(samples, c.expected)) << c.sound.soundFile;
    EXPECT_FALSE(Contains(samples, RecoveryChirp()));
  }
}

TEST(RecoveryTone, WaitsBehindTheBeepPlayingAndKeepsToTheAlarmsQueueBound) {
  AudioCapture capture;
  AlarmWorker worker;
  worker.Request({1, ""});
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));  // the worker has taken the beep
  for (int i = 0; i < 12; ++i) worker.RequestRecovery({1, ""});
  EXPECT_EQ(worker.Requested(), 1u);  // recoveries are not alarms
  const auto samples = Heard(capture, worker);
  EXPECT_EQ(Occurrences(samples, RecoveryChirp()), AlarmWorker::kMaxWaiting);
  const auto firstChirp = std::search(samples.begin(), samples.end(), RecoveryChirp().begin(), RecoveryChirp().end());
  EXPECT_GE(std::size_t(firstChirp - samples.begin()), Ms(500));  // the whole beep came first
}
