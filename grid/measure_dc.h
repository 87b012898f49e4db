#pragma once
// A device context for measuring text outside painting (the stand-in for a window's or
// the screen's context): a tiny image with a painter, made for one measurement.
#include <QImage>
#include <QPainter>
#include <memory>

#include "platform/gdi_dc.h"

namespace kelvanor {

class MeasureDC {
 public:
  MeasureDC();
  MeasureDC(const MeasureDC&) = delete;
  MeasureDC& operator=(const MeasureDC&) = delete;
  // Null when no painter could be started.
  GdiDC* dc() { return dc_.get(); }

 private:
  QImage image_;
  QPainter painter_;
  std::unique_ptr<GdiDC> dc_;
};

}  // namespace kelvanor
