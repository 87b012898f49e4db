#include "grid/measure_dc.h"

namespace kelvanor {

MeasureDC::MeasureDC() : image_(1, 1, QImage::Format_ARGB32_Premultiplied) {
  if (!image_.isNull() && painter_.begin(&image_)) dc_ = std::make_unique<GdiDC>(&painter_, QRect(0, 0, 1, 1));
}

}  // namespace kelvanor
