#include "board/light_canvas.h"

namespace kelvanor {

void CLightCanvas::Restore() {
  if (!target_) return;
  if (savedBkMode_ != 0) {
    target_->SetBkMode(savedBkMode_);
    savedBkMode_ = 0;
  }
  if (savedTextColor_ != kNoColor) {
    target_->SetTextColor(savedTextColor_);
    savedTextColor_ = kNoColor;
  }
}

bool CLightCanvas::SetBkMode(int mode) {
  if (!target_) return false;
  int previous = target_->SetBkMode(mode);
  if (savedBkMode_ == 0) savedBkMode_ = previous;
  return true;
}

bool CLightCanvas::SetTextColor(COLORREF colour) {
  if (!target_) return false;
  COLORREF previous = target_->SetTextColor(colour);
  if (savedTextColor_ == kNoColor) savedTextColor_ = previous;
  return true;
}

bool CLightCanvas::FillBackground(const GdiRect& rect) {
  if (!target_) return false;
  target_->FillSolidRect(rect, RGB(255, 255, 255));
  target_->FrameRect(rect, RGB(255, 255, 255));
  return true;
}

bool CLightCanvas::FillRoundRect(const GdiRect& rect, int ellipseWidth, int ellipseHeight,
                                 COLORREF border, COLORREF fill) {
  if (!target_) return false;
  const GdiRect outer{rect.left, rect.top, rect.right + 1, rect.bottom + 1};
  const GdiRect inner{rect.left + 1, rect.top + 1, rect.right, rect.bottom};
  if (border == kNoColor) {
    if (fill != kNoColor) target_->FillRoundRectRegion(outer, ellipseWidth, ellipseHeight, fill);
  } else if (fill != kNoColor) {
    target_->FillRoundRectRegion(outer, ellipseWidth, ellipseHeight, border);
    target_->FillRoundRectRegion(inner, ellipseWidth, ellipseHeight, fill);
  } else {
    target_->FillRoundRectRing(outer, inner, ellipseWidth, ellipseHeight, border);
  }
  return true;
}

bool CLightCanvas::DrawLabel(const std::string& gbk, const GdiRect& rect, unsigned format,
                             const QFont* font) {
  if (!target_) return false;
  GdiRect box = rect;
  if (!font) {
    target_->DrawText(gbk, box, format);
    return true;
  }
  QFont previous = target_->SelectFont(*font);
  target_->DrawText(gbk, box, format);
  target_->SelectFont(previous);
  return true;
}

bool CLightCanvas::DrawImage(int x, int y, int width, int height, const QImage* bitmap) {
  if (!target_ || !bitmap || bitmap->isNull()) return false;
  target_->StretchBlt(x, y, width, height, *bitmap, 0, 0, bitmap->width(), bitmap->height());
  return true;
}

}  // namespace kelvanor
