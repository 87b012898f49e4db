#pragma once
// CMyMemDC: stands in for a target context for one paint. Everything is drawn into an
// image the size of the target's clip box, in the target's own coordinates, and copied
// to the target in one operation when the object goes away, so nothing flickers.
#include <QImage>
#include <QPainter>

#include "platform/gdi_dc.h"

namespace kelvanor {

namespace detail {
// Built before the GdiDC base so that the base can draw on it.
struct MemSurface {
  MemSurface(const QRect& box, qreal devicePixelRatio);
  QImage image;
  QPainter painter;
};
}  // namespace detail

class CMyMemDC : private detail::MemSurface, public GdiDC {
 public:
  explicit CMyMemDC(GdiDC* target);
  ~CMyMemDC() override;
  CMyMemDC(const CMyMemDC&) = delete;
  CMyMemDC& operator=(const CMyMemDC&) = delete;

  const QImage& Buffer() const { return image; }

 private:
  GdiDC* target_;
  GdiRect rect_;  // the covered rectangle, in the target's logical coordinates
};

}  // namespace kelvanor
