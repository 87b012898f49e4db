// The tone's pitch, length and overlapping are checked through the monitor's alarm.
#include <gtest/gtest.h>

#include <thread>

#include "tests/common/audio_capture.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// A 16-bit mono wave file at the alarm's rate, so its samples arrive unchanged.
void WriteWave(const QString& path, const std::vector<std::int16_t>& samples) {
  const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
  const struct {
    char riff[4];
    std::uint32_t riffSize;
    char waveFmt[8];
    std::uint32_t fmtSize;
    std::uint16_t format, channels;
    std::uint32_t rate, byteRate;
    std::uint16_t blockAlign, bits;
    char data[4];
    std::uint32_t dataSize;
  } header{{'R', 'I', 'F', 'F'}, 36 + bytes, {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}, 16, 1, 1,
           kAlarmSampleRate, kAlarmSampleRate * 2, 2, 16, {'d', 'a', 't', 'a'}, bytes};
  static_assert(sizeof header == 44);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(reinterpret_cast<const char*>(&header), sizeof header);
  f.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

std::vector<std::int16_t> Ramp(std::size_t count, int step) {
  std::vector<std::int16_t> s(count);
  for (std::size_t i = 0; i < count; ++i) s[i] = static_cast<std::int16_t>(1000 + (i * step) % 20000);
  return s;
}

void WaitUntilQuiet() { ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); })); }

TEST(AlarmTone, StoppingReleasesAWaitingCaller) {
  AudioCapture capture;
  std::thread caller([] { Beep(800, 60000); });
  ASSERT_TRUE(WaitFor([] { return IsSoundPlaying(); }));
  StopAlarmSounds();
  caller.join();  // would take a minute otherwise
  EXPECT_FALSE(IsSoundPlaying());
}

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

TEST(AlarmWave, ANewFileCutsOffTheOneStillPlayingAndPlaysSampleForSample) {
  QTemporaryDir dir;
  const auto longWave = Ramp(kAlarmSampleRate * 3, 3);
  const auto shortWave = Ramp(4000, 11);
  WriteWave(dir.filePath("long.wav"), longWave);
  WriteWave(dir.filePath("short.wav"), shortWave);
  AudioCapture capture;
  PlaySoundAsync(dir.filePath("long.wav").toStdString());
  PlaySoundAsync(dir.filePath("short.wav").toStdString());
  WaitUntilQuiet();
  const auto samples = capture.Finish();
  EXPECT_TRUE(Contains(samples, shortWave));
  EXPECT_FALSE(Contains(samples, longWave));
}

TEST(AlarmWave, MissingOrUnreadableFilePlaysTheDefaultSound) {
  QTemporaryDir dir;
  QFile garbage(dir.filePath("garbage.wav"));
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write("not a wave file at all");
  garbage.close();
  for (const QString& file : {dir.filePath("missing.wav"), garbage.fileName(), QString()}) {
    AudioCapture capture;
    PlaySoundAsync(file.toStdString());
    WaitUntilQuiet();
    EXPECT_TRUE(Contains(capture.Finish(), DefaultAlarmSound())) << file.toStdString();
  }
}

}  // namespace
