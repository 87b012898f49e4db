#include "grid/selected_cell_map.h"

#include <utility>

namespace kelvanor {

size_t SelectedCellMap::Home(CellKey key) const {
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return static_cast<size_t>(key) & (slots_.size() - 1);
}

bool SelectedCellMap::Contains(CellKey key) const {
  if (slots_.empty()) return false;
  for (size_t i = Home(key);; i = (i + 1) & (slots_.size() - 1)) {
    if (slots_[i] == key) return true;
    if (slots_[i] == kEmpty) return false;
  }
}

void SelectedCellMap::Insert(CCellID cell) {
  const CellKey key = CellKeyOf(cell.row, cell.col);
  if (key == kEmpty) return;
  if (static_cast<size_t>(count_ + 1) * 2 > slots_.size()) Grow();
  for (size_t i = Home(key);; i = (i + 1) & (slots_.size() - 1)) {
    if (slots_[i] == key) return;
    if (slots_[i] == kEmpty) {
      slots_[i] = key;
      ++count_;
      return;
    }
  }
}

void SelectedCellMap::Erase(CellKey key) {
  if (slots_.empty()) return;
  const size_t mask = slots_.size() - 1;
  size_t hole = Home(key);
  while (slots_[hole] != key) {
    if (slots_[hole] == kEmpty) return;
    hole = (hole + 1) & mask;
  }
  // Backward shift: pull later keys of the probe run into the hole so no tombstones remain.
  for (size_t next = (hole + 1) & mask; slots_[next] != kEmpty; next = (next + 1) & mask) {
    const size_t home = Home(slots_[next]);
    const bool movable = hole <= next ? (home <= hole || home > next) : (home <= hole && home > next);
    if (movable) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole] = kEmpty;
  --count_;
}

void SelectedCellMap::Clear() {
  slots_.clear();
  count_ = 0;
}

void SelectedCellMap::Swap(SelectedCellMap& other) noexcept {
  slots_.swap(other.slots_);
  std::swap(count_, other.count_);
}

void SelectedCellMap::Reserve(int count) {
  size_t size = slots_.empty() ? 16 : slots_.size();
  while (static_cast<size_t>(count) * 2 > size) size *= 2;
  if (size > slots_.size()) Rehash(size);
}

void SelectedCellMap::Grow() { Rehash(slots_.empty() ? 16 : slots_.size() * 2); }

void SelectedCellMap::Rehash(size_t size) {
  std::vector<CellKey> old(size, kEmpty);
  old.swap(slots_);
  count_ = 0;
  for (CellKey key : old)
    if (key != kEmpty) Insert(CCellID(static_cast<int>(key & 0xFFFFFFFFu), static_cast<int>(key >> 32)));
}

bool SelectedCellMap::checkConsistency() const {
  int found = 0;
  for (CellKey key : slots_) {
    if (key == kEmpty) continue;
    ++found;
    if (!Contains(key)) return false;
  }
  return found == count_;
}

}  // namespace kelvanor
