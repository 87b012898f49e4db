#include "platform/alarm_audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <numbers>
#include <system_error>
#include <thread>

#include "platform/gbk.h"

namespace kelvanor {
namespace {

using Samples = std::vector<std::int16_t>;

constexpr double kToneAmplitude = 12000;
// A Beep gives up waiting this long after its tone should have ended, so a device that
// has stopped pulling samples cannot hang an alarm worker.
constexpr std::chrono::milliseconds kStallAllowance{500};
// The longest Close waits for the device to close. SDL's close waits for its device
// thread, which a hung sound server (or a pipe nobody reads) holds for ever, and quitting
// closes the device: past this the close is left to finish, or not, on its own thread.
constexpr std::chrono::seconds kCloseWait{1};

// Samples being played, and how far.
struct Clip {
  std::shared_ptr<const Samples> samples;
  std::size_t position = 0;

  // The next sample, 0 once the clip has ended; it lets its samples go at its end.
  double Next() {
    if (!samples) return 0;
    const double value = (*samples)[position++];
    if (position >= samples->size()) samples.reset();
    return value;
  }
};

class AudioEngine {
 public:
  void Beep(int frequency, int durationMs);
  void Play(std::shared_ptr<const Samples> wave);
  void PlayAndWait(std::shared_ptr<const Samples> cue);
  bool Playing();
  void Stop();
  void Close();
  bool CloseUnfinished() const { return unfinishedCloses_ > 0; }

 private:
  void CloseDevice();
  static void Callback(void* self, Uint8* stream, int bytes);
  void Fill(std::int16_t* out, int count);
  bool OpenDeviceLocked();
  // The engine locked for a sound of `duration` the caller then waits out; without a
  // device there is nothing to wait for but the time: it sleeps and returns no lock.
  std::unique_lock<std::mutex> LockForSound(std::chrono::milliseconds duration);

  // SDL runs the callback under its own device lock and takes that lock inside open,
  // pause and close. So deviceMutex_ guards the device and is held across those calls,
  // while mutex_ guards what the callback reads and is never held across an SDL call;
  // the order is deviceMutex_ before mutex_, never the other way round.
  std::mutex deviceMutex_;
  SDL_AudioDeviceID device_ = 0;
  bool closeRegistered_ = false;
  std::atomic<int> unfinishedCloses_{0};
  std::mutex mutex_;
  std::condition_variable progress_;
  std::uint64_t played_ = 0;    // samples handed to the device so far
  std::uint64_t toneEnd_ = 0;   // the tone sounds while played_ < toneEnd_
  std::uint64_t stops_ = 0;     // bumped by Stop and Close to release waiting callers
  double toneStep_ = 0;
  double tonePhase_ = 0;
  Clip wave_;
  Clip cue_;
};

AudioEngine& Engine() {
  // Never destroyed: a close left stuck in SDL still uses it after main has returned.
  static AudioEngine& engine = *new AudioEngine;
  return engine;
}

bool AudioEngine::OpenDeviceLocked() {
  if (device_) return true;
  // Left to themselves, SDL's SIGINT and SIGTERM handlers would swallow those signals.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec want{};
  want.freq = kAlarmSampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 1024;
  want.callback = &AudioEngine::Callback;
  want.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (!device_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  if (!closeRegistered_ && QCoreApplication::instance()) {
    closeRegistered_ = true;
    qAddPostRoutine([] { Engine().Close(); });
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void AudioEngine::Callback(void* self, Uint8* stream, int bytes) {
  static_cast<AudioEngine*>(self)->Fill(reinterpret_cast<std::int16_t*>(stream),
                                        bytes / static_cast<int>(sizeof(std::int16_t)));
}

void AudioEngine::Fill(std::int16_t* out, int count) {
  {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < count; ++i) {
      double sample = 0;
      if (played_ < toneEnd_) {
        sample += kToneAmplitude * std::sin(tonePhase_);
        tonePhase_ = std::fmod(tonePhase_ + toneStep_, 2 * std::numbers::pi);
      }
      sample += wave_.Next() + cue_.Next();
      out[i] = static_cast<std::int16_t>(std::clamp(sample, -32768.0, 32767.0));
      ++played_;
    }
  }
  progress_.notify_all();
}

std::unique_lock<std::mutex> AudioEngine::LockForSound(std::chrono::milliseconds duration) {
  std::unique_lock deviceLock(deviceMutex_);
  if (!OpenDeviceLocked()) {
    deviceLock.unlock();
    std::this_thread::sleep_for(duration);
    return {};
  }
  // The device lock goes on return: a Close meanwhile bumps stops_ and so releases the
  // caller's wait.
  return std::unique_lock(mutex_);
}

void AudioEngine::Beep(int frequency, int durationMs) {
  auto duration = std::chrono::milliseconds(std::max(0, durationMs));
  std::unique_lock lock = LockForSound(duration);
  if (!lock) return;
  if (played_ >= toneEnd_) tonePhase_ = 0;
  toneStep_ = 2 * std::numbers::pi * frequency / kAlarmSampleRate;
  std::uint64_t end = played_ + static_cast<std::uint64_t>(duration.count()) * kAlarmSampleRate / 1000;
  toneEnd_ = std::max(toneEnd_, end);
  std::uint64_t stops = stops_;
  progress_.wait_for(lock, duration + kStallAllowance,
                     [&] { return played_ >= end || stops_ != stops; });
}

void AudioEngine::Play(std::shared_ptr<const Samples> wave) {
  std::lock_guard deviceLock(deviceMutex_);
  if (!OpenDeviceLocked()) return;
  std::lock_guard lock(mutex_);
  wave_ = {wave->empty() ? nullptr : std::move(wave)};
}

void AudioEngine::PlayAndWait(std::shared_ptr<const Samples> cue) {
  if (cue->empty()) return;
  const auto duration = std::chrono::milliseconds(cue->size() * 1000 / kAlarmSampleRate);
  std::unique_lock lock = LockForSound(duration);
  if (!lock) return;
  cue_ = {cue};
  const std::uint64_t stops = stops_;
  progress_.wait_for(lock, duration + kStallAllowance,
                     [&] { return cue_.samples != cue || stops_ != stops; });
}

bool AudioEngine::Playing() {
  std::lock_guard lock(mutex_);
  return wave_.samples || cue_.samples || played_ < toneEnd_;
}

void AudioEngine::Stop() {
  {
    std::lock_guard lock(mutex_);
    toneEnd_ = played_;
    wave_ = {};
    cue_ = {};
    ++stops_;
  }
  progress_.notify_all();
}

void AudioEngine::Close() {
  Stop();  // waiting callers go at once, even when the device cannot be closed
  struct Closing {
    std::mutex mutex;
    std::condition_variable finished;
    bool closed = false;
  };
  auto closing = std::make_shared<Closing>();  // shared with a closer that may be left behind
  std::thread closer;
  ++unfinishedCloses_;
  try {
    closer = std::thread([this, closing] {
      CloseDevice();
      --unfinishedCloses_;
      std::lock_guard lock(closing->mutex);
      closing->closed = true;
      closing->finished.notify_all();
    });
  } catch (const std::system_error&) {
    CloseDevice();  // no thread to spare: close here, come what may
    --unfinishedCloses_;
    return;
  }
  std::unique_lock lock(closing->mutex);
  if (closing->finished.wait_for(lock, kCloseWait, [&] { return closing->closed; })) {
    lock.unlock();
    closer.join();
  } else {
    closer.detach();
  }
}

void AudioEngine::CloseDevice() {
  std::lock_guard deviceLock(deviceMutex_);
  // Closing waits for the device thread, which may be in Fill waiting for mutex_.
  if (device_) {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
  }
}

// The file's samples converted to the device format, or none when it cannot be read.
std::shared_ptr<const Samples> ConvertWave(SDL_RWops* file) {
  SDL_AudioSpec source{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(file, 1, &source, &data, &length)) return nullptr;
  SDL_AudioCVT cvt{};
  std::shared_ptr<Samples> samples;
  if (SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, AUDIO_S16SYS, 1,
                        kAlarmSampleRate) >= 0) {
    std::vector<Uint8> buffer(static_cast<std::size_t>(length) * std::max(1, cvt.len_mult));
    std::copy(data, data + length, buffer.begin());
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(length);
    if (SDL_ConvertAudio(&cvt) == 0) {
      auto begin = reinterpret_cast<const std::int16_t*>(buffer.data());
      samples = std::make_shared<Samples>(begin, begin + cvt.len_cvt / sizeof(std::int16_t));
    }
  }
  SDL_FreeWAV(data);
  return samples;
}

bool operator==(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// The last wave read, kept until its path or modification time changes: alarms repeat
// every cycle, and a large file read per alarm costs its size in memory each time.
class WaveCache {
 public:
  std::shared_ptr<const Samples> Get(const std::string& file);

 private:
  std::mutex mutex_;
  std::string path_;
  timespec modified_{-1, 0};
  std::shared_ptr<const Samples> samples_;
};

std::shared_ptr<const Samples> WaveCache::Get(const std::string& file) {
  // Only regular files: opening a FIFO waits for a writer, reading a device may never end.
  // Checked before opening, so no device is even opened, and again on the open file.
  const std::string path = GbkToUtf8(file);
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  FILE* stream = nullptr;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !(stream = fdopen(fd, "rb"))) {
    close(fd);
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  if (file == path_ && info.st_mtim == modified_) {
    fclose(stream);
    return samples_;
  }
  SDL_RWops* source = SDL_RWFromFP(stream, SDL_TRUE);
  if (!source) fclose(stream);
  samples_ = source ? ConvertWave(source) : nullptr;
  path_ = file;
  modified_ = info.st_mtim;
  return samples_;
}

}  // namespace

void Beep(int frequencyHz, int durationMs) { Engine().Beep(frequencyHz, durationMs); }

void PlaySoundAsync(const std::string& file) {
  static const auto fallback = std::make_shared<const Samples>(DefaultAlarmSound());
  static WaveCache cache;
  std::shared_ptr<const Samples> wave = cache.Get(file);
  Engine().Play(wave ? wave : fallback);
}

void PlayAndWait(std::shared_ptr<const Samples> samples) { Engine().PlayAndWait(std::move(samples)); }

const std::vector<std::int16_t>& DefaultAlarmSound() {
  // Two falling notes, like a chime.
  static constexpr Note kChime[] = {{660, 150}, {440, 250}};
  static const Samples sound = Notes(kChime);
  return sound;
}

Samples Notes(std::span<const Note> notes) {
  Samples out;
  const int fade = kAlarmSampleRate / 100;
  for (const Note& note : notes) {
    const int count = kAlarmSampleRate * note.durationMs / 1000;
    for (int i = 0; i < count; ++i) {
      const double envelope = std::min({1.0, double(i) / fade, double(count - i) / fade});
      const double value =
          10000 * envelope * std::sin(2 * std::numbers::pi * note.frequencyHz * i / kAlarmSampleRate);
      out.push_back(static_cast<std::int16_t>(value));
    }
  }
  return out;
}

bool IsSoundPlaying() { return Engine().Playing(); }

void StopAlarmSounds() { Engine().Stop(); }

void CloseAudio() { Engine().Close(); }

bool AudioCloseUnfinished() { return Engine().CloseUnfinished(); }

}  // namespace kelvanor
