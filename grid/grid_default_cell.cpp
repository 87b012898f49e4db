#include "grid/grid_default_cell.h"

#include "grid/measure_dc.h"

namespace kelvanor {

CGridDefaultCell::CGridDefaultCell() {
  SetFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  const LogFont message = MessageLogFont();
  SetFont(&message);
}

void CGridDefaultCell::SetFont(const LogFont* font) {
  if (!font) return;
  CGridCell::SetFont(font);

  MeasureDC screen;
  GdiDC* dc = screen.dc();
  if (!dc) {
    SetMargin(3);
    m_nWidth = 40;
    m_nHeight = 16;
    return;
  }
  const QFont previous = dc->SelectFont(*GetFontObject());
  SetMargin(static_cast<std::uint32_t>(dc->GetTextExtent(" ").width()));
  const QSize extent = dc->GetTextExtent(" XXXXXXXXXXXX ");
  m_nWidth = extent.width();
  m_nHeight = 3 * extent.height() / 2;
  dc->SelectFont(previous);
}

}  // namespace kelvanor
