#pragma once
// The strip of state lights (11 pictures of 16 x 15 on white), cut into single
// opaque pictures for the board's tiles.
#include <QImage>

namespace kelvanor {

enum LightImage : int { kLightConnecting = 4, kLightConnected = 6, kLightFailed = 7 };

class LightImageList {
 public:
  // Loads the strip from the program's resources; an unreadable strip gives an
  // empty list, on which Render returns a null image.
  LightImageList();

  int Count() const;
  // Picture `index` on white (white is the strip's transparent colour), or a null
  // image for an index outside the strip.
  QImage Render(int index) const;

 private:
  static constexpr int kWidth = 16;
  QImage strip_;
};

}  // namespace kelvanor
