#include "grid/size_index.h"

#include <algorithm>

namespace kelvanor {

namespace {
size_t LowBit(size_t i) { return i & (~i + 1); }
}  // namespace

void SizeIndex::Set(int i, int size) {
  const size_t index = static_cast<size_t>(i);
  const std::int64_t delta = static_cast<std::int64_t>(static_cast<std::uint32_t>(size)) - sizes_[index];
  sizes_[index] = static_cast<std::uint32_t>(size);
  for (size_t k = index + 1; k < tree_.size(); k += LowBit(k)) tree_[k] += delta;
}

std::int64_t SizeIndex::Prefix(int n) const {
  std::int64_t sum = 0;
  for (size_t k = static_cast<size_t>(n < 0 ? 0 : (n > Count() ? Count() : n)); k > 0; k -= LowBit(k)) sum += tree_[k];
  return sum;
}

int SizeIndex::LowerBound(std::int64_t target) const {
  if (target <= 0) return 0;
  size_t step = 1;
  while (step * 2 < tree_.size()) step *= 2;
  size_t pos = 0;
  std::int64_t remaining = target;
  for (; step > 0; step /= 2) {
    if (pos + step < tree_.size() && tree_[pos + step] < remaining) {
      pos += step;
      remaining -= tree_[pos];
    }
  }
  return static_cast<int>(pos) + 1;
}

void SizeIndex::Reserve(int n) {
  // Geometric, so that appending rows one at a time stays linear overall.
  const size_t wanted = static_cast<size_t>(n);
  if (wanted > sizes_.capacity()) sizes_.reserve(std::max(wanted, 2 * sizes_.capacity()));
  if (wanted + 1 > tree_.capacity()) tree_.reserve(std::max(wanted + 1, 2 * tree_.capacity()));
}

void SizeIndex::Append(int size) {
  if (tree_.empty()) tree_.push_back(0);
  const size_t k = tree_.size();  // the new entry's 1-based index
  const int n = Count();
  sizes_.push_back(static_cast<std::uint32_t>(size));
  // Node k covers entries k - lowbit(k) + 1 .. k: the new size plus the earlier ones it spans.
  tree_.push_back(static_cast<std::uint32_t>(size) + Prefix(n) - Prefix(static_cast<int>(k - LowBit(k))));
}

void SizeIndex::Truncate(int n) {
  // Fenwick nodes only cover entries at or before their own index, so a prefix stays valid.
  sizes_.resize(static_cast<size_t>(n));
  tree_.resize(static_cast<size_t>(n) + 1);
}

void SizeIndex::Erase(int i) {
  sizes_.erase(sizes_.begin() + i);
  Rebuild();
}

void SizeIndex::Clear() {
  sizes_.clear();
  tree_.clear();
}

void SizeIndex::Rebuild() {
  tree_.assign(sizes_.size() + 1, 0);
  for (size_t k = 1; k < tree_.size(); ++k) {
    tree_[k] += sizes_[k - 1];
    const size_t parent = k + LowBit(k);
    if (parent < tree_.size()) tree_[parent] += tree_[k];
  }
}

bool SizeIndex::checkConsistency() const {
  const bool shaped = sizes_.empty() ? tree_.size() <= 1 : tree_.size() == sizes_.size() + 1;
  if (!shaped) return false;
  std::int64_t sum = 0;
  for (int n = 0; n <= Count(); ++n) {
    if (Prefix(n) != sum) return false;
    if (n < Count()) sum += sizes_[static_cast<size_t>(n)];
  }
  return true;
}

}  // namespace kelvanor
