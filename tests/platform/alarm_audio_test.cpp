#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>
#include <thread>

#include "platform/alarm_audio.h"
#include "tests/common/audio_capture.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

// A 16-bit mono wave file at the alarm's rate, so its samples arrive unchanged.
void WriteWave(const QString& path, const std::vector<std::int16_t>& samples) {
  auto u32 = [](QByteArray& b, std::uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [](QByteArray& b, std::uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
  QByteArray b("RIFF");
  u32(b, 36 + static_cast<std::uint32_t>(samples.size() * 2));
  b.append("WAVEfmt ");
  u32(b, 16);
  u16(b, 1);
  u16(b, 1);
  u32(b, kAlarmSampleRate);
  u32(b, kAlarmSampleRate * 2);
  u16(b, 2);
  u16(b, 16);
  b.append("data");
  u32(b, static_cast<std::uint32_t>(samples.size() * 2));
  b.append(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size() * 2));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(b);
}

std::vector<std::int16_t> Ramp(std::size_t count, int step) {
  std::vector<std::int16_t> s(count);
  for (std::size_t i = 0; i < count; ++i) s[i] = static_cast<std::int16_t>(1000 + (i * step) % 20000);
  return s;
}

void WaitUntilQuiet() { ASSERT_TRUE(WaitFor([] { return !IsSoundPlaying(); })); }

}  // namespace

TEST(AlarmTone, SoundsTheAskedFrequencyForTheAskedDuration) {
  AudioCapture capture;
  Beep(800, 500);
  auto samples = capture.Finish();
  Span span = Audible(samples);
  EXPECT_NEAR(span.length(), kAlarmSampleRate / 2, kAlarmSampleRate / 100);
  EXPECT_NEAR(Frequency(samples, span, kAlarmSampleRate), 800, 8);
}

TEST(AlarmTone, TonesAskedForTogetherSoundAsOneAndReleaseEveryCaller) {
  AudioCapture capture;
  std::thread other([] { Beep(800, 500); });
  Beep(800, 500);
  other.join();
  auto samples = capture.Finish();
  Span span = Audible(samples);
  EXPECT_GE(span.length(), std::size_t(kAlarmSampleRate / 2) - kAlarmSampleRate / 100);
  EXPECT_LT(span.length(), std::size_t(kAlarmSampleRate));  // overlapping, not one after the other
}

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

TEST(AlarmWave, PlaysTheFileSampleForSample) {
  QTemporaryDir dir;
  QString path = dir.filePath("alarm.wav");
  auto wave = Ramp(8000, 7);
  WriteWave(path, wave);
  AudioCapture capture;
  PlaySoundAsync(path.toStdString());
  WaitUntilQuiet();
  EXPECT_NE(Find(capture.Finish(), wave), std::string::npos);
}

TEST(AlarmWave, MissingOrUnreadableFilePlaysTheDefaultSound) {
  QTemporaryDir dir;
  QString garbage = dir.filePath("garbage.wav");
  QFile f(garbage);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not a wave file at all");
  f.close();
  for (std::string file : {dir.filePath("missing.wav").toStdString(), garbage.toStdString(), std::string()}) {
    AudioCapture capture;
    PlaySoundAsync(file);
    WaitUntilQuiet();
    EXPECT_NE(Find(capture.Finish(), DefaultAlarmSound()), std::string::npos) << file;
  }
}

TEST(AlarmWave, ANewFileCutsOffTheOneStillPlaying) {
  QTemporaryDir dir;
  auto longWave = Ramp(kAlarmSampleRate * 3, 3);
  auto shortWave = Ramp(4000, 11);
  WriteWave(dir.filePath("long.wav"), longWave);
  WriteWave(dir.filePath("short.wav"), shortWave);
  AudioCapture capture;
  PlaySoundAsync(dir.filePath("long.wav").toStdString());
  PlaySoundAsync(dir.filePath("short.wav").toStdString());
  WaitUntilQuiet();
  auto samples = capture.Finish();
  EXPECT_NE(Find(samples, shortWave), std::string::npos);
  EXPECT_EQ(Find(samples, longWave), std::string::npos);
}
