#pragma once
// The alarm a failed connect sounds and the tone of a recovered one, played by one audio
// worker thread.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace kelvanor {

// The request's own copy of the alarm choice, so the settings dialog may rewrite the
// record while an alarm waits or plays.
struct AlarmSound {
  int soundType;          // 0 none, 1 the speaker tone, anything else soundFile
  std::string soundFile;  // GBK path
};

inline constexpr int kBeepFrequencyHz = 800;
inline constexpr int kBeepDurationMs = 500;

// Kind 1 sounds the tone and waits for it; any other kind only starts soundFile.
int PlayAlarm(const AlarmSound& sound);

// The recovery chirp: two short rising notes (1200 Hz for 70 ms, then 1600 Hz for 100 ms),
// higher than the beep and a third of its length, so the two are told apart by ear.
const std::vector<std::int16_t>& RecoveryChirp();

// A recovery's sound: kind 1 sounds the chirp and waits for it; any other kind only starts
// soundFile, as an alarm's wave does.
int PlayRecovery(const AlarmSound& sound);

// One thread that plays its owner's alarms and recovery sounds one after another. At most
// kMaxWaiting wait behind the one playing; further ones while the queue is full sound
// nothing, since 50 failures a second would otherwise queue 25 s of tones every second.
class AlarmWorker {
 public:
  static constexpr std::size_t kMaxWaiting = 8;
  // The longest the owner's end waits for the thread; a thread stuck in the system
  // beyond that is left to the ending process rather than holding up quitting.
  static constexpr std::chrono::seconds kQuitWait{1};

  AlarmWorker() = default;
  ~AlarmWorker();
  AlarmWorker(const AlarmWorker&) = delete;
  AlarmWorker& operator=(const AlarmWorker&) = delete;

  // Queues one alarm, starting the thread at the first; false when it cannot be started.
  bool Request(const AlarmSound& sound);
  // Queues one recovery sound in the same way.
  bool RequestRecovery(const AlarmSound& sound);
  // Alarms asked for while the thread ran, dropped ones included (recoveries are not).
  std::size_t Requested() const { return requested_; }
  // True when every queued sound has been handed to the sound device (a wave may still play).
  bool Idle() const;

 private:
  struct Job {
    AlarmSound sound;
    int (*play)(const AlarmSound&);
  };
  struct Queue;
  static void Run(const std::shared_ptr<Queue>& queue);
  bool Enqueue(const Job& job);

  std::shared_ptr<Queue> queue_;
  std::thread thread_;
  std::size_t requested_ = 0;
};

}  // namespace kelvanor
