#include <gtest/gtest.h>

#include "board/light_canvas.h"

namespace kelvanor::test {
namespace {

// The board sets a text colour per tile; the context must come back with its own.
TEST(CLightCanvas, HandsTheTargetBackItsOwnTextColourAndMode) {
  QImage image(40, 30, QImage::Format_RGB32);
  QPainter painter(&image);
  GdiDC dc(&painter, image.rect());
  dc.SetTextColor(RGB(1, 2, 3));
  dc.SetBkMode(OPAQUE);
  {
    CLightCanvas canvas(&dc);
    canvas.SetTextColor(RGB(255, 255, 255));
    canvas.SetTextColor(RGB(60, 60, 60));
    canvas.SetBkMode(TRANSPARENT);
    EXPECT_EQ(dc.GetTextColor(), RGB(60, 60, 60));
    EXPECT_TRUE(canvas.FillBackground({0, 0, 40, 30}));
    EXPECT_FALSE(CLightCanvas(nullptr).FillBackground({0, 0, 40, 30}));
  }
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(image.pixel(39, 29), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kelvanor::test
