#pragma once
// A thin device context over QPainter with the drawing rules of the Windows GDI that
// the board's and the grid's pixel arithmetic rely on:
//  - GdiRect is right/bottom-exclusive (a fill of (0,0,10,10) covers pixels 0..9);
//  - LineTo draws up to, not including, its end point;
//  - DrawText honours the DT_* flags below, including DT_CALCRECT and mnemonic
//    processing unless DT_NOPREFIX is given.
// Texts are GBK bytes; conversion to Qt happens here.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvanor {

using COLORREF = std::uint32_t;  // 0x00BBGGRR
constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }
QColor ToQColor(COLORREF c);
COLORREF FromQColor(const QColor& c);

struct GdiRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
  static GdiRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }
  bool operator==(const GdiRect&) const = default;
};

// DrawText format flags, with the Windows values (stored files and grid formats use them).
enum : unsigned {
  DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
  DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_EDITCONTROL = 0x2000,
  DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_WORD_ELLIPSIS = 0x40000,
};

enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

// System colour indices used by the grid.
enum SysColor : int {
  COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
  COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
};
COLORREF GetSysColor(int index);

// The 60-byte font description the grid copies per cell.
struct LogFont {
  int lfHeight = 0;  // < 0: character height in pixels; > 0: cell height
  int lfWidth = 0;
  int lfEscapement = 0;
  int lfOrientation = 0;
  int lfWeight = 400;
  std::uint8_t lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 1;
  std::uint8_t lfOutPrecision = 0, lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
  char lfFaceName[32] = {};  // GBK
  bool operator==(const LogFont& o) const;
};
// "宋体" -> the installed CJK font, "System" -> the default sans; same pixel size.
QFont FontFromLogFont(const LogFont& lf);
// The desktop's message font as a LogFont (the grid's default cell font).
LogFont MessageLogFont();
// The screen's vertical dots per inch, for point -> pixel heights.
int ScreenLogPixelsY();

// The first characters of a one-line text that can show within `pixels` of its start
// (each drawn character takes a pixel at least); the whole text when it is shorter.
std::string_view LeadingPart(std::string_view gbk, int pixels);

struct TextMetric {
  int tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth,
      tmMaxCharWidth;
};

struct GdiPen {
  enum Style { Solid = 0, Dash = 1, Dot = 2, Null = 5 } style = Solid;
  int width = 0;  // 0 and 1 both mean one pixel
  COLORREF color = 0;
};

// Drawing on one target (a widget's paint, an image). Not copyable; one per paint.
class GdiDC {
 public:
  // clipBox: the region being painted, in logical coordinates (GetClipBox).
  GdiDC(QPainter* painter, const QRect& clipBox);
  virtual ~GdiDC() = default;
  GdiDC(const GdiDC&) = delete;
  GdiDC& operator=(const GdiDC&) = delete;

  QPainter* Painter() const { return painter_; }
  // Logical -> device coordinates of this context's painter.
  QPoint ToDevice(int x, int y) const { return {x - origin_.x(), y - origin_.y()}; }
  QRect ToDevice(const GdiRect& r) const;
  bool IsPrinting() const { return false; }
  GdiRect GetClipBox() const;

  COLORREF SetTextColor(COLORREF c);
  COLORREF GetTextColor() const { return textColor_; }
  COLORREF SetBkColor(COLORREF c);
  COLORREF GetBkColor() const { return bkColor_; }
  int SetBkMode(int mode);
  int GetBkMode() const { return bkMode_; }
  QFont SelectFont(const QFont& font);  // returns the previous font
  QFont GetFont() const { return font_; }
  GdiPen SelectPen(const GdiPen& pen);  // returns the previous pen
  GdiPen GetPen() const { return pen_; }

  // Saves and restores colours, modes, font, pen, clip and origin (SaveDC/RestoreDC).
  int SaveDC();
  void RestoreDC(int saved = -1);

  // Logical origin: drawing at (x, y) lands at device (x - orgX, y - orgY).
  QPoint SetWindowOrg(int x, int y);
  QPoint GetWindowOrg() const { return origin_; }
  void IntersectClipRect(const GdiRect& r);

  void FillSolidRect(const GdiRect& r, COLORREF c);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF c) { FillSolidRect({x, y, x + cx, y + cy}, c); }
  void FrameRect(const GdiRect& r, COLORREF c);  // one-pixel frame inside r
  void InvertRect(const GdiRect& r);
  // BDR_SUNKENINNER / BDR_RAISEDINNER edges on all four sides.
  void DrawEdgeSunkenInner(const GdiRect& r);
  void DrawEdgeRaisedInner(const GdiRect& r);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // current pen; the end point is not drawn
  // CreateRoundRectRgn(l, t, r, b, w, h) filled: covers l..r-1 x t..b-1.
  void FillRoundRectRegion(const GdiRect& r, int ellipseW, int ellipseH, COLORREF c);
  // The same region minus the one of inner (a ring), filled.
  void FillRoundRectRing(const GdiRect& outer, const GdiRect& inner, int ellipseW, int ellipseH,
                         COLORREF c);
  void StretchBlt(int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw, int sh);
  void BitBlt(int x, int y, const QImage& src) { StretchBlt(x, y, src.width(), src.height(), src, 0, 0, src.width(), src.height()); }

  // Lays out only the part of the text that can show in rect (or, with DT_NOCLIP, in the
  // clip box) and returns the height of its lines; with DT_CALCRECT, measures the whole
  // text, draws nothing and sets rect's right and bottom to its extent.
  int DrawText(const std::string& gbk, GdiRect& rect, unsigned format);
  QSize GetTextExtent(const std::string& gbk) const;
  TextMetric GetTextMetrics() const;

 private:
  struct Saved {
    COLORREF text, bk;
    int mode;
    QFont font;
    GdiPen pen;
    QPoint origin;
    QRect clip;
  };
  void PlotLinePixels(QPoint from, QPoint to);
  QString DisplayText(const std::string& gbk, unsigned format, int* underlined) const;

  QPainter* painter_;
  QRect clipBox_;  // logical, inclusive QRect
  COLORREF textColor_ = RGB(0, 0, 0);
  COLORREF bkColor_ = RGB(255, 255, 255);
  int bkMode_ = OPAQUE;
  QFont font_;
  GdiPen pen_;
  QPoint origin_;
  QPoint current_;
  std::vector<Saved> saved_;
};

}  // namespace kelvanor
