#include "grid/grid_cell.h"

#include "grid/grid_ctrl.h"
#include "grid/grid_default_cell.h"
#include "grid/in_place_edit.h"

namespace kelvanor {

namespace {

std::uint32_t NextFontSerial() {
  static std::uint32_t last = 0;
  if (++last == 0) ++last;  // 0 stands for no font
  return last;
}

}  // namespace

void CGridCell::Reset() {
  CGridCellBase::Reset();
  m_strText.clear();
  m_nTextWidthFont = 0;
  m_lParam = 0;
  m_nImage = -1;
  m_nFormat = kUnsetFormat;
  m_crFgClr = CLR_DEFAULT;
  m_crBkClr = CLR_DEFAULT;
  m_pFont.reset();
  m_nMargin = kUnsetMargin;
  m_bEditing = false;
  m_pGrid = nullptr;
  m_pEditWnd = nullptr;
}

void CGridCell::SetFont(const LogFont* font) {
  if (!font) {
    m_pFont.reset();
    return;
  }
  m_pFont = std::make_unique<OwnFont>(OwnFont{*font, FontFromLogFont(*font), NextFontSerial()});
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
  if (m_pFont) return &m_pFont->logFont;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFont() : nullptr;
}

const QFont* CGridCell::GetFontObject() const {
  if (m_pFont) return &m_pFont->font;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFontObject() : nullptr;
}

std::uint32_t CGridCell::GetFontSerial() const {
  if (m_pFont) return m_pFont->serial;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFontSerial() : 0;
}

int CGridCell::GetTextWidth(GdiDC* dc) const {
  const std::uint32_t font = GetFontSerial();
  if (font == 0) return CGridCellBase::GetTextWidth(dc);
  if (m_nTextWidthFont != font) {
    m_nTextWidth = CGridCellBase::GetTextWidth(dc);
    m_nTextWidthFont = font;
  }
  return m_nTextWidth;
}

CInPlaceEdit* CGridCell::CreateEditor(const GdiRect& rect, Qt::Alignment alignment, unsigned id, int row, int col,
                                      unsigned firstKey) {
  if (!m_pGrid) return nullptr;
  return new CInPlaceEdit(m_pGrid, rect, alignment, id, row, col, m_strText, firstKey);
}

bool CGridCell::Edit(int row, int col, const GdiRect& rect, QPoint /*point*/, unsigned id, unsigned nChar) {
  if (m_bEditing) {
    if (m_pEditWnd) m_pEditWnd->HandleChar(nChar);
    return true;
  }
  const std::uint32_t format = GetFormat();
  const Qt::Alignment alignment = format & DT_RIGHT ? Qt::AlignRight : format & DT_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
  m_bEditing = true;
  m_pEditWnd = CreateEditor(rect, alignment, id, row, col, nChar);
  // No editor, no editing: the cell is not left marked as being edited.
  if (!m_pEditWnd) m_bEditing = false;
  return m_bEditing;
}

void CGridCell::EndEdit() {
  if (m_pEditWnd) m_pEditWnd->EndEdit();
}

void CGridCell::OnEndEdit() {
  m_bEditing = false;
  m_pEditWnd = nullptr;
}

}  // namespace kelvanor
