#include "board/mem_dc.h"

namespace kelvanor {
namespace detail {

MemSurface::MemSurface(const QRect& box, qreal devicePixelRatio)
    : image(QSize(std::max(1, box.width()), std::max(1, box.height())) * devicePixelRatio,
            QImage::Format_RGB32) {
  image.setDevicePixelRatio(devicePixelRatio);
  // The content is the caller's to paint; start from white rather than stale memory.
  image.fill(Qt::white);
  painter.begin(&image);
}

}  // namespace detail

namespace {
qreal RatioOf(const GdiDC* target) {
  const QPaintDevice* device = target && target->Painter() ? target->Painter()->device() : nullptr;
  return device ? device->devicePixelRatioF() : 1.0;
}
QRect BoxOf(const GdiDC* target) { return target ? target->GetClipBox().ToQRect() : QRect(); }
}  // namespace

CMyMemDC::CMyMemDC(GdiDC* target)
    : MemSurface(BoxOf(target), RatioOf(target)),
      GdiDC(&painter, BoxOf(target)),
      target_(target),
      rect_(target ? target->GetClipBox() : GdiRect{}) {
  SetWindowOrg(rect_.left, rect_.top);
}

CMyMemDC::~CMyMemDC() {
  painter.end();
  if (target_ && target_->Painter() && !rect_.IsEmpty())
    target_->Painter()->drawImage(target_->ToDevice(rect_.left, rect_.top), image);
}

}  // namespace kelvanor
