#pragma once
// Cell coordinates and inclusive cell ranges; -1 means "none" in every field.
#include <cstdint>

namespace kelvanor {

struct CCellID {
  int row = -1;
  int col = -1;
  constexpr CCellID() = default;
  constexpr CCellID(int r, int c) : row(r), col(c) {}
  // Whether both coordinates name some cell; the grid checks them against its counts.
  constexpr bool IsValid() const { return row >= 0 && col >= 0; }
  constexpr bool operator==(const CCellID&) const = default;
};

struct CCellBlock {
  int minRow = -1;
  int minCol = -1;
  int maxRow = -1;
  int maxCol = -1;
  constexpr CCellBlock() = default;
  constexpr CCellBlock(int r0, int c0, int r1, int c1) : minRow(r0), minCol(c0), maxRow(r1), maxCol(c1) {}
  constexpr bool IsValid() const {
    return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && maxRow >= minRow && maxCol >= minCol;
  }
  constexpr bool Contains(int row, int col) const {
    return IsValid() && row >= minRow && row <= maxRow && col >= minCol && col <= maxCol;
  }
  constexpr bool operator==(const CCellBlock&) const = default;
};

// The key of a cell in the selection maps. Both coordinates keep all their bits, so
// rows and columns beyond 65535 never share a key.
using CellKey = std::uint64_t;
constexpr CellKey CellKeyOf(int row, int col) {
  return (static_cast<CellKey>(static_cast<std::uint32_t>(col)) << 32) | static_cast<std::uint32_t>(row);
}

}  // namespace kelvanor
