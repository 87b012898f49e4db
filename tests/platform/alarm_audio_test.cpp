// Many callers at once, and a wave file's samples; what a tone and the default sound are
// is checked through the alarm.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "tests/common/audio_capture.h"
#include "tests/common/loopback.h"
#include "tests/common/wave_file.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(AlarmTone, SoundsFromSeveralThreadsWhileTheDeviceClosesAndReopenAllReturn) {
  std::vector<std::thread> callers;
  for (int t = 0; t < 4; ++t)
    callers.emplace_back([t] {
      for (int i = 0; i < 10; ++i) (t + i) % 2 ? Beep(800, 20) : PlaySoundAsync("");
    });
  for (int i = 0; i < 10; ++i) CloseAudio();
  for (std::thread& caller : callers) caller.join();  // none may hang on the device
  StopAlarmSounds();
  CloseAudio();
  AudioCapture capture;
  Beep(800, 100);
  EXPECT_GT(Audible(capture.Finish()).length(), 0u);  // the device still comes back
}

std::vector<std::int16_t> Played(const std::filesystem::path& path) {
  AudioCapture capture;
  PlaySoundAsync(path.string());
  EXPECT_TRUE(WaitFor([] { return !IsSoundPlaying(); }));
  return capture.Finish();
}

TEST(WaveFile, IsReadAgainOnlyWhenItsPathOrModificationTimeChanges) {
  QTemporaryDir dir;
  const std::filesystem::path first = dir.filePath("first.wav").toStdString();
  const std::filesystem::path second = dir.filePath("second.wav").toStdString();
  WriteWave(first, Tone(1000));
  EXPECT_TRUE(Contains(Played(first), Tone(1000)));
  const auto modified = std::filesystem::last_write_time(first);
  WriteWave(first, Tone(1500));
  std::filesystem::last_write_time(first, modified);
  EXPECT_TRUE(Contains(Played(first), Tone(1000)));  // still the samples read before
  std::filesystem::last_write_time(first, modified + std::chrono::seconds(1));
  EXPECT_TRUE(Contains(Played(first), Tone(1500)));
  WriteWave(second, Tone(2000));
  EXPECT_TRUE(Contains(Played(second), Tone(2000)));
}
