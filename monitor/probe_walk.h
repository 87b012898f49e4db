#pragma once
// Where the probe cycle's walk over the endpoint list stands. The view walks the list in
// slices, one per event-loop turn, so that thousands of entries never freeze the window.
// A cycle that begins while the previous walk is still going takes over from where that
// walk stood and wraps round to it: every entry is started once per cycle, and however
// short the refresh period, the end of a long list is never starved.
#include <cstddef>
#include <optional>

namespace kelvanor {

class ProbeWalk {
 public:
  // A new cycle over a list of `size` entries.
  void Begin(std::size_t size) {
    start_ = active_ && size > 0 ? (start_ + taken_) % size : 0;
    taken_ = 0;
    active_ = size > 0;
    boxShown = false;
  }

  // The next entry of the cycle, or none once every entry has had its turn. The size
  // is the list's current one: a list rebuilt meanwhile is never read past its end.
  std::optional<std::size_t> Next(std::size_t size) {
    if (!active_ || taken_ >= size) {
      active_ = false;
      return std::nullopt;
    }
    const std::size_t index = (start_ + taken_++) % size;
    active_ = taken_ < size;
    return index;
  }

  // True while entries of the cycle are still to be started.
  bool Active() const { return active_; }

  // Whether this cycle has had its one start-failure box.
  bool boxShown = false;

 private:
  std::size_t start_ = 0;
  std::size_t taken_ = 0;
  bool active_ = false;
};

}  // namespace kelvanor
