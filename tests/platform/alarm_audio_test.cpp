// Many callers at once, and a wave file's samples; what a tone and the default sound are
// is checked through the alarm.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <thread>

#include "tests/common/audio_capture.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

TEST(AlarmTone, SoundsFromSeveralThreadsWhileTheDeviceClosesAndReopenAllReturn) {
  std::vector<std::thread> callers;
  for (int t = 0; t < 4; ++t)
    callers.emplace_back([t] {
      for (int i = 0; i < 10; ++i) {
        if ((t + i) % 2)
          Beep(800, 20);
        else
          PlaySoundAsync("");
      }
    });
  for (int i = 0; i < 10; ++i) CloseAudio();
  for (std::thread& caller : callers) caller.join();  // none may hang on the device
  StopAlarmSounds();
  CloseAudio();
  AudioCapture capture;
  Beep(800, 100);
  EXPECT_GT(Audible(capture.Finish()).length(), 0u);  // the device still comes back
}

// A fifth of a second of tone at the device's own rate, so it plays sample for sample.
std::vector<std::int16_t> Tone(double hz) {
  std::vector<std::int16_t> samples(kAlarmSampleRate / 5);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * std::numbers::pi * hz * i / kAlarmSampleRate));
  return samples;
}

void WriteWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples) {
  const auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  const std::uint32_t bytes = samples.size() * 2;
  std::ofstream(path, std::ios::binary)
      << "RIFF" << u32(36 + bytes) << "WAVEfmt " << u32(16) << u16(1) << u16(1) << u32(kAlarmSampleRate)
      << u32(kAlarmSampleRate * 2) << u16(2) << u16(16) << "data" << u32(bytes)
      << std::string(reinterpret_cast<const char*>(samples.data()), bytes);
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
