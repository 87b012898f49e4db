#pragma once
// Pixel sizes of the rows (or the columns) of a grid with 64-bit prefix sums.
// Contract: Prefix(n) == sizes[0] + ... + sizes[n-1] at all times, in O(log n).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvanor {

class SizeIndex {
 public:
  int Count() const { return static_cast<int>(sizes_.size()); }
  int Size(int i) const { return static_cast<int>(sizes_[static_cast<size_t>(i)]); }
  void Set(int i, int size);
  // Sum of the sizes of the first n entries.
  std::int64_t Prefix(int n) const;
  // Sum of the sizes of entries first .. last - 1.
  std::int64_t Sum(int first, int last) const { return last > first ? Prefix(last) - Prefix(first) : 0; }
  std::int64_t Total() const { return Prefix(Count()); }
  // The smallest n with Prefix(n) >= target, or Count() + 1 when even Total() is below it.
  int LowerBound(std::int64_t target) const;

  void Reserve(int n);
  void Append(int size);
  void Truncate(int n);
  void Erase(int i);
  void Clear();
  bool checkConsistency() const;

 private:
  void Rebuild();

  std::vector<std::uint32_t> sizes_;
  std::vector<std::int64_t> tree_;  // Fenwick tree, 1-based: tree_[0] is unused
};

}  // namespace kelvanor
