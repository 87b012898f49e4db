#include "platform/gdi_dc.h"

#include <cmath>

namespace kelvanor {

GdiDC::GdiDC(QPainter* painter, const QRect& clipBox) : painter_(painter), clipBox_(clipBox) {
  if (painter_) font_ = painter_->font();
}

QRect GdiDC::ToDevice(const GdiRect& r) const {
  return QRect(r.left - origin_.x(), r.top - origin_.y(), r.right - r.left, r.bottom - r.top);
}

GdiRect GdiDC::GetClipBox() const { return GdiRect::FromQRect(clipBox_); }

COLORREF GdiDC::SetTextColor(COLORREF c) { return std::exchange(textColor_, c); }
COLORREF GdiDC::SetBkColor(COLORREF c) { return std::exchange(bkColor_, c); }
int GdiDC::SetBkMode(int mode) { return std::exchange(bkMode_, mode); }
GdiPen GdiDC::SelectPen(const GdiPen& pen) { return std::exchange(pen_, pen); }

QFont GdiDC::SelectFont(const QFont& font) {
  QFont previous = std::exchange(font_, font);
  if (painter_) painter_->setFont(font_);
  return previous;
}

int GdiDC::SaveDC() {
  saved_.push_back({textColor_, bkColor_, bkMode_, font_, pen_, origin_, clipBox_});
  if (painter_) painter_->save();
  return static_cast<int>(saved_.size());
}

void GdiDC::RestoreDC(int saved) {
  if (saved_.empty()) return;
  // A positive level pops back to that SaveDC; -1 pops the latest one.
  const size_t level = saved < 0 ? saved_.size() : static_cast<size_t>(saved);
  if (level == 0 || level > saved_.size()) return;
  while (saved_.size() >= level) {
    const Saved s = saved_.back();
    saved_.pop_back();
    if (painter_) painter_->restore();
    textColor_ = s.text;
    bkColor_ = s.bk;
    bkMode_ = s.mode;
    font_ = s.font;
    pen_ = s.pen;
    origin_ = s.origin;
    clipBox_ = s.clip;
  }
}

QPoint GdiDC::SetWindowOrg(int x, int y) { return std::exchange(origin_, QPoint(x, y)); }

void GdiDC::IntersectClipRect(const GdiRect& r) {
  clipBox_ = clipBox_.intersected(r.ToQRect());
  if (painter_) painter_->setClipRect(ToDevice(r), Qt::IntersectClip);
}

void GdiDC::FillSolidRect(const GdiRect& r, COLORREF c) {
  if (!painter_ || r.IsEmpty()) return;
  painter_->fillRect(ToDevice(r), ToQColor(c));
}

void GdiDC::FrameRect(const GdiRect& r, COLORREF c) {
  if (r.IsEmpty()) return;
  FillSolidRect({r.left, r.top, r.right, r.top + 1}, c);
  FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, c);
  FillSolidRect({r.left, r.top, r.left + 1, r.bottom}, c);
  FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, c);
}

void GdiDC::InvertRect(const GdiRect& r) {
  if (!painter_ || r.IsEmpty()) return;
  painter_->save();
  painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_->fillRect(ToDevice(r), Qt::white);
  painter_->restore();
}

// One-pixel edges: top and left in the first colour, bottom and right in the second.
static void DrawEdgePair(GdiDC& dc, const GdiRect& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.IsEmpty()) return;
  dc.FillSolidRect({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  dc.FillSolidRect({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  dc.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  dc.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void GdiDC::DrawEdgeSunkenInner(const GdiRect& r) {
  DrawEdgePair(*this, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
}

void GdiDC::DrawEdgeRaisedInner(const GdiRect& r) {
  DrawEdgePair(*this, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

void GdiDC::MoveTo(int x, int y) { current_ = QPoint(x, y); }

void GdiDC::LineTo(int x, int y) {
  const QPoint to(x, y);
  if (painter_ && pen_.style != GdiPen::Null) PlotLinePixels(current_, to);
  current_ = to;
}

// Bresenham from `from` up to, not including, `to`, as GDI draws a line.
void GdiDC::PlotLinePixels(QPoint from, QPoint to) {
  const QColor color = ToQColor(pen_.color);
  const int width = std::max(1, pen_.width);
  const int offset = (width - 1) / 2;
  auto plot = [&](int px, int py) {
    painter_->fillRect(QRect(ToDevice(px - offset, py - offset), QSize(width, width)), color);
  };
  // Straight one-pixel lines, the grid's common case, in one fill each: the pixels from
  // `from` towards `to`, without `to` itself.
  auto straight = [](int a, int b) { return a <= b ? std::pair(a, b) : std::pair(b + 1, a + 1); };
  if (width == 1 && pen_.style == GdiPen::Solid && from.y() == to.y()) {
    const auto [left, right] = straight(from.x(), to.x());
    painter_->fillRect(QRect(ToDevice(left, from.y()), QSize(right - left, 1)), color);
    return;
  }
  if (width == 1 && pen_.style == GdiPen::Solid && from.x() == to.x()) {
    const auto [top, bottom] = straight(from.y(), to.y());
    painter_->fillRect(QRect(ToDevice(from.x(), top), QSize(1, bottom - top)), color);
    return;
  }
  int x0 = from.x(), y0 = from.y();
  const int dx = std::abs(to.x() - x0), dy = -std::abs(to.y() - y0);
  const int sx = x0 < to.x() ? 1 : -1, sy = y0 < to.y() ? 1 : -1;
  int err = dx + dy;
  int step = 0;
  while (x0 != to.x() || y0 != to.y()) {
    if (pen_.style != GdiPen::Dot || step % 2 == 0) plot(x0, y0);
    ++step;
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

namespace {

// Horizontal inset of each row of a rounded rectangle covering [l, r) x [t, b) with a
// corner ellipse of w x h: a pixel belongs to the shape when its centre lies inside.
int CornerInset(int row, int top, int bottom, int w, int h) {
  const double rx = w / 2.0, ry = h / 2.0;
  if (rx <= 0 || ry <= 0) return 0;
  const double yc = row + 0.5;
  double dy = 0;
  if (yc < top + ry) dy = top + ry - yc;
  else if (yc > bottom - ry) dy = yc - (bottom - ry);
  else return 0;
  const double ratio = dy / ry;
  if (ratio >= 1) return static_cast<int>(std::ceil(rx));
  const double dx = rx * std::sqrt(1 - ratio * ratio);
  return std::max(0, static_cast<int>(std::ceil(rx - dx - 0.5)));
}

struct Span { int left, right; };

Span RowSpan(const GdiRect& r, int row, int w, int h) {
  const int inset = CornerInset(row, r.top, r.bottom, std::min(w, r.Width()), std::min(h, r.Height()));
  return {r.left + inset, r.right - inset};
}

}  // namespace

void GdiDC::FillRoundRectRegion(const GdiRect& r, int ellipseW, int ellipseH, COLORREF c) {
  if (!painter_ || r.IsEmpty()) return;
  const int band = (std::min(ellipseH, r.Height()) + 1) / 2;
  for (int row = r.top; row < r.bottom; ++row) {
    if (row == r.top + band && r.bottom - band > row) {  // the straight middle in one fill
      FillSolidRect({r.left, row, r.right, r.bottom - band}, c);
      row = r.bottom - band - 1;
      continue;
    }
    const Span s = RowSpan(r, row, ellipseW, ellipseH);
    FillSolidRect({s.left, row, s.right, row + 1}, c);
  }
}

void GdiDC::FillRoundRectRing(const GdiRect& outer, const GdiRect& inner, int ellipseW,
                              int ellipseH, COLORREF c) {
  if (!painter_ || outer.IsEmpty()) return;
  // The ring's left and right pieces of a row; rows that repeat them (the straight
  // sides) are filled together, so a tall ring costs a few fills, not two per row.
  const auto piecesOf = [&](int row) -> std::pair<Span, Span> {
    const Span o = RowSpan(outer, row, ellipseW, ellipseH);
    if (inner.IsEmpty() || row < inner.top || row >= inner.bottom) return {o, {o.right, o.right}};
    const Span i = RowSpan(inner, row, ellipseW, ellipseH);
    return {{o.left, std::min(o.right, i.left)}, {std::max(o.left, i.right), o.right}};
  };
  const auto same = [](const std::pair<Span, Span>& a, const std::pair<Span, Span>& b) {
    return a.first.left == b.first.left && a.first.right == b.first.right &&
           a.second.left == b.second.left && a.second.right == b.second.right;
  };
  int runTop = outer.top;
  std::pair<Span, Span> run = piecesOf(runTop);
  for (int row = outer.top + 1; row <= outer.bottom; ++row) {
    const bool last = row == outer.bottom;
    const std::pair<Span, Span> pieces = last ? run : piecesOf(row);
    if (!last && same(pieces, run)) continue;
    FillSolidRect({run.first.left, runTop, run.first.right, row}, c);
    FillSolidRect({run.second.left, runTop, run.second.right, row}, c);
    runTop = row;
    run = pieces;
  }
}

void GdiDC::StretchBlt(int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw,
                       int sh) {
  if (!painter_ || src.isNull()) return;
  painter_->save();
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter_->drawImage(QRect(ToDevice(x, y), QSize(w, h)), src, QRect(sx, sy, sw, sh));
  painter_->restore();
}

}  // namespace kelvanor
