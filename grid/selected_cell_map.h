#pragma once
// The set of selected cells, keyed by the full-width CellKeyOf(row, col).
// Contract: Contains(k) is true exactly for the keys inserted and not erased since, and
// Count() is their number; the cell of a key is decoded from the key itself.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid/cell_id.h"

namespace kelvanor {

class SelectedCellMap {
 public:
  int Count() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  bool Contains(CellKey key) const;
  void Insert(CCellID cell);
  void Erase(CellKey key);
  void Clear();
  // Room for count keys without growing.
  void Reserve(int count);
  void Swap(SelectedCellMap& other) noexcept;
  template <class F>
  void ForEach(F&& visit) const {
    for (CellKey key : slots_)
      if (key != kEmpty) visit(CCellID(static_cast<int>(key & 0xFFFFFFFFu), static_cast<int>(key >> 32)));
  }
  bool checkConsistency() const;

 private:
  static constexpr CellKey kEmpty = ~CellKey{0};  // the key of (-1, -1), never a selected cell
  size_t Home(CellKey key) const;
  void Grow();
  void Rehash(size_t size);

  std::vector<CellKey> slots_;  // open addressing with linear probing; size is a power of two
  int count_ = 0;
};

}  // namespace kelvanor
