#pragma once
// The attributes a grid area (normal, fixed column, fixed row, fixed corner) gives the
// cells that leave them unset, and the size new rows and columns of that area get.
#include "grid/grid_cell.h"

namespace kelvanor {

class CGridDefaultCell : public CGridCell {
 public:
  CGridDefaultCell();
  ~CGridDefaultCell() override = default;

  void SetData(std::uint32_t /*data*/) override {}
  void SetState(std::uint32_t /*state*/) override {}
  std::uint32_t GetState() const override { return CGridCell::GetState() | CELL_READONLY; }
  // Also rebuilds the font object and the margin and size measured with it.
  void SetFont(const LogFont* font) override;
  // A default cell is the end of the inheritance chain: what it leaves unset is 0 or none.
  CGridDefaultCell* GetDefaultCell() const override { return nullptr; }

  std::uint32_t GetStyle() const { return m_dwStyle; }
  void SetStyle(std::uint32_t style) { m_dwStyle = style; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  void SetWidth(int width) { m_nWidth = width; }
  void SetHeight(int height) { m_nHeight = height; }

 private:
  int m_nWidth = 30;
  int m_nHeight = 10;
  std::uint32_t m_dwStyle = 0;
};

}  // namespace kelvanor
