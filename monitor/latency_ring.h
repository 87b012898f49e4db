#pragma once
// An endpoint's last outcomes: connect times, or failures. Held in place, so noting an
// outcome never allocates, however many endpoints and however long the program runs.
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kelvanor {

class LatencyRing {
 public:
  static constexpr std::size_t kCapacity = 64;

  void AddConnect(long long ms);
  void AddFailure();
  std::size_t Size() const { return size_; }
  std::size_t Failures() const;
  // The i-th outcome held, oldest first: its connect time, or none for a failure.
  std::optional<int> At(std::size_t i) const;
  // The median connect time among the last `n` outcomes (the lower of the middle two of an
  // even count), or none when none of them connected.
  std::optional<int> RecentMedian(std::size_t n) const;

 private:
  static constexpr std::uint16_t kFailed = 0xFFFF;
  void Add(std::uint16_t sample);

  std::array<std::uint16_t, kCapacity> samples_{};
  std::uint8_t next_ = 0;
  std::uint8_t size_ = 0;
};

// Of the connect times held: by nearest rank, so each figure is a time that was seen.
struct LatencySummary {
  int min, median, p95, max;
};
std::optional<LatencySummary> Summarize(const LatencyRing& ring);

// One bar a outcome, oldest first, its height from the fastest to the slowest connect
// held; a failure is a cross.
QString Sparkline(const LatencyRing& ring);

}  // namespace kelvanor
