#include "monitor/latency_ring.h"

#include <algorithm>
#include <cmath>

namespace kelvanor {
namespace {

constexpr char16_t kLowestBar = 0x2581;  // the eight block bars follow one another
constexpr int kBarHeights = 8;
constexpr char16_t kCross = 0x00D7;

}  // namespace

void LatencyRing::AddConnect(long long ms) { Add(static_cast<std::uint16_t>(std::clamp<long long>(ms, 0, kFailed - 1))); }

void LatencyRing::AddFailure() { Add(kFailed); }

void LatencyRing::Add(std::uint16_t sample) {
  samples_[next_] = sample;
  next_ = static_cast<std::uint8_t>((next_ + 1) % kCapacity);
  size_ = static_cast<std::uint8_t>(std::min<std::size_t>(size_ + 1u, kCapacity));
}

std::size_t LatencyRing::Failures() const {
  return static_cast<std::size_t>(std::count(samples_.begin(), samples_.begin() + size_, kFailed));
}

std::optional<int> LatencyRing::At(std::size_t i) const {
  const std::uint16_t sample = samples_[(next_ + kCapacity - size_ + i) % kCapacity];
  if (sample == kFailed) return std::nullopt;
  return sample;
}

std::optional<int> LatencyRing::RecentMedian(std::size_t n) const {
  std::array<int, kCapacity> times;
  std::size_t count = 0;
  for (std::size_t i = size_ - std::min<std::size_t>(n, size_); i < size_; ++i)
    if (std::optional<int> ms = At(i)) times[count++] = *ms;
  if (count == 0) return std::nullopt;
  std::nth_element(times.begin(), times.begin() + (count - 1) / 2, times.begin() + count);
  return times[(count - 1) / 2];
}

std::optional<LatencySummary> Summarize(const LatencyRing& ring) {
  std::array<int, LatencyRing::kCapacity> times;
  std::size_t n = 0;
  for (std::size_t i = 0; i < ring.Size(); ++i)
    if (std::optional<int> ms = ring.At(i)) times[n++] = *ms;
  if (n == 0) return std::nullopt;
  std::sort(times.begin(), times.begin() + n);
  const auto rank = [&](double p) { return times[static_cast<std::size_t>(std::ceil(p * n)) - 1]; };
  return LatencySummary{times[0], rank(0.5), rank(0.95), times[n - 1]};
}

QString Sparkline(const LatencyRing& ring) {
  const std::optional<LatencySummary> summary = Summarize(ring);
  QString line;
  for (std::size_t i = 0; i < ring.Size(); ++i) {
    const std::optional<int> ms = ring.At(i);
    if (!ms) {
      line += QChar(kCross);
      continue;
    }
    const int span = summary->max - summary->min;
    const int bar = span == 0 ? 0 : (*ms - summary->min) * (kBarHeights - 1) / span;
    line += QChar(static_cast<char16_t>(kLowestBar + bar));
  }
  return line;
}

}  // namespace kelvanor
