// The tone's pitch and length are checked through the monitor's alarm.
#include <gtest/gtest.h>

#include <thread>

#include "tests/common/audio_capture.h"
#include "tests/common/loopback.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

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
