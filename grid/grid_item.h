#pragma once
// The record SetItem applies to one cell, and the cell state bits the grid keeps.
#include <cstdint>
#include <string>

#include "platform/gdi_dc.h"

namespace kelvanor {

enum : std::uint32_t {
  CELL_FOCUSED = 0x01,
  CELL_SELECTED = 0x02,
  CELL_DROPHILITED = 0x04,
  CELL_READONLY = 0x08,
  CELL_FIXED = 0x10,
  CELL_FIXEDROW = 0x20,
  CELL_FIXEDCOL = 0x40,
  CELL_MODIFIED = 0x80,
};

enum : std::uint32_t {
  GIF_TEXT = 0x01,
  GIF_IMAGE = 0x02,
  GIF_PARAM = 0x04,
  GIF_STATE = 0x08,
  GIF_BKCLR = 0x10,
  GIF_FGCLR = 0x20,
  GIF_FORMAT = 0x40,
  GIF_FONT = 0x80,
  GIF_MARGIN = 0x100,
};

constexpr COLORREF CLR_DEFAULT = 0xFF000000;
constexpr std::uint32_t kUnsetFormat = 0xFFFFFFFF;
constexpr std::uint32_t kUnsetMargin = 0xFFFFFFFF;

struct GRIDITEM {
  int row = 0;
  int col = 0;
  std::uint32_t mask = 0;
  std::uint32_t nState = 0;
  std::uint32_t nFormat = 0;
  int iImage = -1;
  COLORREF crBkClr = CLR_DEFAULT;
  COLORREF crFgClr = CLR_DEFAULT;
  std::uint32_t lParam = 0;
  LogFont lfFont;
  std::uint32_t nMargin = 0;
  std::string strText;  // GBK
};

}  // namespace kelvanor
