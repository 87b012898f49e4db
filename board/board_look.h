#pragma once
// What the board draws with, made once per view: the state lights and the two fonts.
#include <QFont>

#include "board/light_images.h"

namespace kelvanor {

struct BoardLook {
  LightImageList lightImages;
  QFont labelFont;    // face "宋体"
  QFont addressFont;  // face "System"
};

// Both fonts 11 points high at the screen's vertical resolution.
BoardLook MakeBoardLook();

// Character height in pixels (negative, as the font description wants it) of a
// point size at a vertical resolution, rounded to nearest.
int FontHeightForPoints(int points, int pixelsPerInchY);

}  // namespace kelvanor
