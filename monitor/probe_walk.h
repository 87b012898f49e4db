#pragma once
// Where the probe cycle's walk over the endpoint list stands. The view walks the list in
// slices, one per event-loop turn, so that thousands of entries never freeze the window.
// The walk takes each entry (its previous probe let go, its tile grey) and starts it once
// a descriptor is free for its probe: taken entries not started yet wait, in walk order.
// A cycle that begins while the previous walk is still going takes over from its first
// entry not started and wraps round to it: every entry is started once per cycle, and
// however short the refresh period, the end of a long list is never starved.
#include <cstddef>
#include <optional>

namespace kelvanor {

class ProbeWalk {
 public:
  // A new cycle over a list of `size` entries.
  void Begin(std::size_t size) {
    start_ = Active() && size > 0 ? (start_ + started_) % size : 0;
    taken_ = started_ = 0;
    size_ = size;
    boxShown = false;
  }

  // The next entry to take, or none once every entry has been taken. The size is the
  // list's current one: a list rebuilt meanwhile is never read past its end.
  std::optional<std::size_t> Take(std::size_t size) {
    size_ = size;
    if (taken_ >= size) return std::nullopt;
    return (start_ + taken_++) % size;
  }

  // The entry waiting longest to be started, or none.
  std::optional<std::size_t> Waiting(std::size_t size) const {
    if (started_ >= taken_ || size == 0) return std::nullopt;
    return (start_ + started_) % size;
  }
  // The entry Waiting gave has been started (or needs no start any more).
  void Started() { ++started_; }

  bool AllTaken() const { return taken_ >= size_; }
  // True while entries of the cycle are still to be taken or started.
  bool Active() const { return taken_ < size_ || started_ < taken_; }

  // Whether this cycle has had its one start-failure box.
  bool boxShown = false;

 private:
  std::size_t start_ = 0;
  std::size_t taken_ = 0;
  std::size_t started_ = 0;
  std::size_t size_ = 0;  // the list's size when the walk last looked
};

}  // namespace kelvanor
