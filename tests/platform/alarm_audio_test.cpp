// Many callers at once; what a tone and the default sound are is checked through the alarm.
#include <gtest/gtest.h>

#include <thread>

#include "tests/common/audio_capture.h"

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
