#include "monitor/alarm.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>

#include "platform/alarm_audio.h"

namespace kelvanor {

int PlayAlarm(const AlarmSound& sound) {
  if (sound.soundType == 1)
    Beep(kBeepFrequencyHz, kBeepDurationMs);
  else
    PlaySoundAsync(sound.soundFile);
  return 0;
}

namespace {

// Shared with the sound device while it plays, so made once.
const std::shared_ptr<const std::vector<std::int16_t>>& ChirpSamples() {
  static constexpr Note kRising[] = {{1200, 70}, {1600, 100}};
  static const auto chirp = std::make_shared<const std::vector<std::int16_t>>(Notes(kRising));
  return chirp;
}

}  // namespace

const std::vector<std::int16_t>& RecoveryChirp() { return *ChirpSamples(); }

int PlayRecovery(const AlarmSound& sound) {
  if (sound.soundType == 1)
    PlayAndWait(ChirpSamples());
  else
    PlaySoundAsync(sound.soundFile);
  return 0;
}

// Shared with the thread, so that a thread left behind at the end still has it.
struct AlarmWorker::Queue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> waiting;
  bool playing = false;
  bool stopping = false;
  bool finished = false;
};

void AlarmWorker::Run(const std::shared_ptr<Queue>& queue) {
  std::unique_lock lock(queue->mutex);
  for (;;) {
    queue->changed.wait(lock, [&] { return queue->stopping || !queue->waiting.empty(); });
    if (queue->stopping) break;
    const Job next = std::move(queue->waiting.front());
    queue->waiting.pop_front();
    queue->playing = true;
    lock.unlock();
    next.play(next.sound);
    lock.lock();
    queue->playing = false;
  }
  queue->finished = true;
  queue->changed.notify_all();
}

bool AlarmWorker::Request(const AlarmSound& sound) {
  if (!Enqueue({sound, &PlayAlarm})) return false;
  ++requested_;
  return true;
}

bool AlarmWorker::RequestRecovery(const AlarmSound& sound) { return Enqueue({sound, &PlayRecovery}); }

bool AlarmWorker::Enqueue(const Job& job) {
  if (!thread_.joinable()) {
    auto queue = std::make_shared<Queue>();
    try {
      thread_ = std::thread(Run, queue);
    } catch (const std::system_error&) {
      return false;
    }
    queue_ = std::move(queue);
  }
  {
    std::lock_guard lock(queue_->mutex);
    if (queue_->waiting.size() >= kMaxWaiting) return true;
    queue_->waiting.push_back(job);
  }
  queue_->changed.notify_one();
  return true;
}

bool AlarmWorker::Idle() const {
  if (!queue_) return true;
  std::lock_guard lock(queue_->mutex);
  return queue_->waiting.empty() && !queue_->playing;
}

AlarmWorker::~AlarmWorker() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(queue_->mutex);
    queue_->stopping = true;
    queue_->waiting.clear();
  }
  queue_->changed.notify_all();
  StopAlarmSounds();  // releases a tone being waited for
  std::unique_lock lock(queue_->mutex);
  if (queue_->changed.wait_for(lock, kQuitWait, [&] { return queue_->finished; })) {
    lock.unlock();
    thread_.join();
    StopAlarmSounds();  // a wave its last request may have started meanwhile
  } else {
    thread_.detach();
  }
}

}  // namespace kelvanor
