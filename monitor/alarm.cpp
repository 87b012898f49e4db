#include "monitor/alarm.h"

#include "platform/alarm_audio.h"

namespace kelvanor {

int PlayAlarm(const AlarmSound& sound) {
  if (sound.soundType == 1)
    Beep(kBeepFrequencyHz, kBeepDurationMs);
  else
    PlaySoundAsync(sound.soundFile);
  return 0;
}

}  // namespace kelvanor
