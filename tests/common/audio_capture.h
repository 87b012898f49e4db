#pragma once
// Captures what the alarm plays through SDL's disk driver (16-bit mono samples).
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/alarm_audio.h"

namespace kelvanor::testing {

class AudioCapture {
 public:
  AudioCapture() : path_(dir_.filePath("capture.raw")) {
    CloseAudio();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.toLocal8Bit().constData(), 1);
  }
  ~AudioCapture() {
    CloseAudio();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }

  // Closes the device and returns everything it was given.
  std::vector<std::int16_t> Finish() {
    CloseAudio();
    QFile file(path_);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
  }

 private:
  QTemporaryDir dir_;
  QString path_;
};

// The first and last sample louder than the threshold; empty when none is.
struct Span {
  std::size_t first = 1, last = 0;
  std::size_t length() const { return last >= first ? last - first + 1 : 0; }
};

inline Span Audible(const std::vector<std::int16_t>& s, int threshold = 200) {
  Span span;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (std::abs(s[i]) <= threshold) continue;
    if (span.length() == 0) span.first = i;
    span.last = i;
  }
  return span;
}

// Frequency from rising zero crossings within the span.
inline double Frequency(const std::vector<std::int16_t>& s, const Span& span, int rate) {
  int crossings = 0;
  for (std::size_t i = span.first + 1; i <= span.last; ++i) crossings += s[i - 1] < 0 && s[i] >= 0;
  return span.length() ? crossings * double(rate) / double(span.length()) : 0;
}

// Whether `needle` occurs in `hay` as a contiguous run.
inline bool Contains(const std::vector<std::int16_t>& hay, const std::vector<std::int16_t>& needle) {
  return !needle.empty() && std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

// How many times `needle` occurs in `hay`, runs not overlapping.
inline std::size_t Occurrences(const std::vector<std::int16_t>& hay, const std::vector<std::int16_t>& needle) {
  std::size_t count = 0;
  for (auto at = hay.begin(); (at = std::search(at, hay.end(), needle.begin(), needle.end())) != hay.end();
       at += needle.size())
    ++count;
  return count;
}

}  // namespace kelvanor::testing
