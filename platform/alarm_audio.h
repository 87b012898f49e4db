#pragma once
// Alarm sounds on one shared SDL audio device (16-bit mono at kAlarmSampleRate), opened
// at the first sound. Where no device can be opened a tone just takes its time.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kelvanor {

inline constexpr int kAlarmSampleRate = 44100;

// Sounds a tone and returns when it has played. Tones asked for while one plays sound
// together with it, as one tone lasting until the last of them ends.
void Beep(int frequencyHz, int durationMs);

// Starts playing a wave file (path in GBK) and returns at once, cutting off a file still
// playing. A missing or unreadable file, or one that is not a regular file (a FIFO, a
// device, a directory), plays DefaultAlarmSound() instead. The file is read again only
// when its path or modification time has changed since the last call.
void PlaySoundAsync(const std::string& file);

// Sounds the samples (at kAlarmSampleRate) over whatever else plays and returns when they
// have played. Samples still playing from another call are cut off.
void PlayAndWait(std::shared_ptr<const std::vector<std::int16_t>> samples);

// The built-in sound, as samples at kAlarmSampleRate.
const std::vector<std::int16_t>& DefaultAlarmSound();

struct Note {
  double frequencyHz;
  int durationMs;
};
// The notes one after another, each fading in and out over 10 ms so it starts and ends
// without a click, as samples at kAlarmSampleRate.
std::vector<std::int16_t> Notes(std::span<const Note> notes);

bool IsSoundPlaying();

// Silences everything and releases waiting Beep and PlayAndWait callers at once.
void StopAlarmSounds();

// Closes the device (SDL's disk driver then finishes its file); the next sound reopens it.
// Waits about a second at most: a device that cannot close is then left closing.
void CloseAudio();

// Whether a close is still stuck in the sound system (a hung sound server, a pipe nobody
// reads). Its thread may then be blocked in an output stream that exit would flush.
bool AudioCloseUnfinished();

}  // namespace kelvanor
