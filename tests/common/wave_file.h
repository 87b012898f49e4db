#pragma once
// Wave files written by the tests, for what the alarm plays from a file.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "platform/alarm_audio.h"

namespace kelvanor::testing {

// A fifth of a second of tone at the device's own rate, so it plays sample for sample.
inline std::vector<std::int16_t> Tone(double hz) {
  std::vector<std::int16_t> samples(kAlarmSampleRate / 5);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * std::numbers::pi * hz * i / kAlarmSampleRate));
  return samples;
}

// 16-bit mono PCM at kAlarmSampleRate.
inline void WriteWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples) {
  const auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  const std::uint32_t bytes = samples.size() * 2;
  std::ofstream(path, std::ios::binary)
      << "RIFF" << u32(36 + bytes) << "WAVEfmt " << u32(16) << u16(1) << u16(1) << u32(kAlarmSampleRate)
      << u32(kAlarmSampleRate * 2) << u16(2) << u16(16) << "data" << u32(bytes)
      << std::string(reinterpret_cast<const char*>(samples.data()), bytes);
}

}  // namespace kelvanor::testing
