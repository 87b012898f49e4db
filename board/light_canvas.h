#pragma once
// A drawing helper made for one paint: rounded tiles, labels and pictures on a target
// device context, which it hands back exactly as it found it (Restore).
#include <QFont>
#include <QImage>
#include <string>

#include "platform/gdi_dc.h"

namespace kelvanor {

// "No colour" for FillRoundRect's border or fill.
constexpr COLORREF kNoColor = 0xFFFFFFFF;

class CLightCanvas {
 public:
  explicit CLightCanvas(GdiDC* target) : target_(target) {}
  virtual ~CLightCanvas() { Restore(); }
  CLightCanvas(const CLightCanvas&) = delete;
  CLightCanvas& operator=(const CLightCanvas&) = delete;

  // Puts back every mode and colour changed through this canvas.
  virtual void Restore();

  // Each operation returns false, drawing nothing, when there is no target.
  bool SetBkMode(int mode);
  bool SetTextColor(COLORREF colour);
  bool FillBackground(const GdiRect& rect);
  // A rounded rectangle covering rect's left..right and top..bottom inclusive; border
  // or fill may be kNoColor.
  bool FillRoundRect(const GdiRect& rect, int ellipseWidth, int ellipseHeight, COLORREF border,
                     COLORREF fill);
  // Text clipped to rect in font (or the target's current font when null).
  bool DrawLabel(const std::string& gbk, const GdiRect& rect, unsigned format, const QFont* font);
  // The whole bitmap stretched to (x, y, width, height).
  bool DrawImage(int x, int y, int width, int height, const QImage* bitmap);

 private:
  GdiDC* target_;
  int savedBkMode_ = 0;              // 0: not saved
  COLORREF savedTextColor_ = kNoColor;  // kNoColor: not saved
};

}  // namespace kelvanor
