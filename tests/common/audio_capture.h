#pragma once
// Captures what the alarm plays through SDL's disk driver (16-bit mono samples).
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
    std::vector<std::int16_t> samples;
    if (!file.open(QIODevice::ReadOnly)) return samples;
    QByteArray bytes = file.readAll();
    samples.resize(static_cast<std::size_t>(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
  }

 private:
  QTemporaryDir dir_;
  QString path_;
};

struct Span {
  std::size_t first = 0, last = 0;  // first and last sample louder than the threshold
  std::size_t length() const { return last >= first ? last - first + 1 : 0; }
};

inline Span Audible(const std::vector<std::int16_t>& s, int threshold = 200) {
  Span span{1, 0};
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (std::abs(s[i]) <= threshold) continue;
    if (span.first > span.last) span.first = i;
    span.last = i;
  }
  return span;
}

// Frequency from rising zero crossings within the span.
inline double Frequency(const std::vector<std::int16_t>& s, const Span& span, int rate) {
  int crossings = 0;
  for (std::size_t i = span.first + 1; i <= span.last; ++i)
    if (s[i - 1] < 0 && s[i] >= 0) ++crossings;
  return span.length() ? crossings * double(rate) / double(span.length()) : 0;
}

// Where `needle` occurs in `hay` as a contiguous run, or npos.
inline std::size_t Find(const std::vector<std::int16_t>& hay, const std::vector<std::int16_t>& needle) {
  if (needle.empty() || hay.size() < needle.size()) return std::string::npos;
  auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
  return it == hay.end() ? std::string::npos : static_cast<std::size_t>(it - hay.begin());
}

}  // namespace kelvanor::testing
