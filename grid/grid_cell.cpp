#include "grid/grid_cell.h"

#include "grid/grid_default_cell.h"

namespace kelvanor {

void CGridCell::Reset() {
  CGridCellBase::Reset();
  m_strText.clear();
  m_lParam = 0;
  m_nImage = -1;
  m_nFormat = kUnsetFormat;
  m_crFgClr = CLR_DEFAULT;
  m_crBkClr = CLR_DEFAULT;
  m_plfFont.reset();
  m_nMargin = kUnsetMargin;
  m_bEditing = false;
  m_pGrid = nullptr;
  m_pEditWnd = nullptr;
}

void CGridCell::SetFont(const LogFont* font) {
  if (!font) {
    m_plfFont.reset();
    return;
  }
  if (!m_plfFont) m_plfFont = std::make_unique<LogFont>();
  *m_plfFont = *font;
}

std::uint32_t CGridCell::GetFormat() const {
  if (m_nFormat != kUnsetFormat) return m_nFormat;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFormat() : 0;
}

std::uint32_t CGridCell::GetMargin() const {
  if (m_nMargin != kUnsetMargin) return m_nMargin;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetMargin() : 0;
}

const LogFont* CGridCell::GetFont() const {
  if (m_plfFont) return m_plfFont.get();
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFont() : nullptr;
}

const QFont* CGridCell::GetFontObject() const {
  if (!m_plfFont) {
    const CGridDefaultCell* def = GetDefaultCell();
    return def ? def->GetFontObject() : nullptr;
  }
  static QFont shared;
  shared = FontFromLogFont(*m_plfFont);
  return &shared;
}

}  // namespace kelvanor
