#pragma once
// The alarm a failed connect sounds, played on a worker thread of its own.
#include <string>

namespace kelvanor {

// The worker's own copy of the alarm choice, taken when it starts, so the settings
// dialog may rewrite the record while an alarm plays.
struct AlarmSound {
  int soundType;          // 0 none, 1 the speaker tone, anything else soundFile
  std::string soundFile;  // GBK path
};

inline constexpr int kBeepFrequencyHz = 800;
inline constexpr int kBeepDurationMs = 500;

// The worker's procedure: kind 1 sounds the tone and waits for it; any other kind only
// starts soundFile. The view starts no worker for kind 0.
int PlayAlarm(const AlarmSound& sound);

}  // namespace kelvanor
