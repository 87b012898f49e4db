#include "board/light_images.h"

static void InitKelvanorResources() { Q_INIT_RESOURCE(kelvanor); }

namespace kelvanor {

LightImageList::LightImageList() {
  InitKelvanorResources();
  strip_ = QImage(":/kelvanor/light_strip.xpm").convertToFormat(QImage::Format_RGB32);
}

int LightImageList::Count() const { return strip_.isNull() ? 0 : strip_.width() / kWidth; }

QImage LightImageList::Render(int index) const {
  if (index < 0 || index >= Count()) return {};
  // Drawing a picture through its white mask onto a white bitmap leaves exactly the
  // picture's own pixels, so the cut-out is the rendered light.
  return strip_.copy(index * kWidth, 0, kWidth, strip_.height());
}

}  // namespace kelvanor
