// What a title tip measures of its text: a tip is as wide as its text, so a megabyte
// text made a tip megapixels wide, all measured and painted though a screen shows a
// screenful.
#include <QScreen>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class TitleTipTextTest : public GridTest {};

TEST_F(TitleTipTextTest, AHugeTextsTipEndsAtTheScreensEdgeAndShowsTheTextsStart) {
  Grid(10, true).SetItemText(2, 1, std::string(50000, 'W'));
  Hover(At(2, 1));
  CTitleTip& tip = grid_->GetTitleTip();
  ASSERT_TRUE(tip.isVisible());
  const QRect screen = grid_->screen()->geometry();
  EXPECT_EQ(tip.geometry().right(), screen.right());
  const QImage shown = tip.grab().toImage();
  int inked = 0;  // the first W, after the leading blank
  for (int x = 1; x < 20; ++x)
    for (int y = 1; y < shown.height() - 1; ++y) inked += FromQColor(shown.pixelColor(x, y)) != GetSysColor(COLOR_INFOBK);
  EXPECT_GT(inked, 0);
}

}  // namespace
}  // namespace kelvanor::testing
