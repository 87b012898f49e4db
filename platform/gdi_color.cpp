#include <QApplication>
#include <QPalette>

#include "platform/gdi_dc.h"

namespace kelvanor {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

COLORREF FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// System colours come from the desktop palette, role by role.
COLORREF GetSysColor(int index) {
  const QPalette palette = QApplication::palette();
  auto role = [&](QPalette::ColorRole r) { return FromQColor(palette.color(QPalette::Active, r)); };
  switch (index) {
    case COLOR_WINDOW: return role(QPalette::Base);
    case COLOR_WINDOWTEXT: return role(QPalette::Text);
    case COLOR_HIGHLIGHT: return role(QPalette::Highlight);
    case COLOR_HIGHLIGHTTEXT: return role(QPalette::HighlightedText);
    case COLOR_BTNFACE: return role(QPalette::Button);
    case COLOR_BTNSHADOW: return role(QPalette::Dark);
    case COLOR_GRAYTEXT: return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
    case COLOR_BTNTEXT: return role(QPalette::ButtonText);
    case COLOR_BTNHIGHLIGHT: return role(QPalette::Light);
    case COLOR_3DDKSHADOW: return role(QPalette::Shadow);
    case COLOR_3DLIGHT: return role(QPalette::Midlight);
    case COLOR_INFOTEXT: return role(QPalette::ToolTipText);
    case COLOR_INFOBK: return role(QPalette::ToolTipBase);
    default: return RGB(0, 0, 0);
  }
}

}  // namespace kelvanor
