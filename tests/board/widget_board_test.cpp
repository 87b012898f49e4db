#include <QPaintEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include "board/widget_board.h"
#include "tests/board/board_image.h"

namespace kelvanor::test {
namespace {

class BoardWidget : public QWidget {
 public:
  explicit BoardWidget(std::vector<Endpoint> list) : list_(std::move(list)) { resize(420, 260); }

 protected:
  void paintEvent(QPaintEvent* event) override {
    PaintBoardOnWidget(*this, event->rect(), list_.size(), TilesOf(list_), Look());
  }

 private:
  std::vector<Endpoint> list_;
};

QImage RenderAt(QWidget& widget, qreal ratio) {
  QImage image(widget.size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  widget.render(&image);
  return image;
}

TEST(WidgetBoard, WidgetShowsTheSameBoardAsAnImage) {
  auto list = Endpoints(3, kTileFailed);
  BoardWidget widget(list);
  EXPECT_EQ(RenderAt(widget, 1.0), RenderBoard(list, 420, 260).image);
}

// At twice the pixel density a one-pixel outline becomes two sharp device pixels, with
// no blended shades either side of it.
TEST(WidgetBoard, DoubledScreensGetSharpOutlines) {
  BoardWidget widget(Endpoints(1));
  const QImage image = RenderAt(widget, 2.0);
  const int y = 2 * 60;
  EXPECT_EQ(Pixel(image, 19, y), 0xFFFFFFu);
  EXPECT_EQ(Pixel(image, 20, y), 0x646464u);
  EXPECT_EQ(Pixel(image, 21, y), 0x646464u);
  EXPECT_EQ(Pixel(image, 22, y), 0xFFFFFFu);
  EXPECT_EQ(Pixel(image, 2 * 200 + 1, y), 0x646464u);
  EXPECT_EQ(Pixel(image, 2 * 200 + 2, y), 0xFFFFFFu);
}

}  // namespace
}  // namespace kelvanor::test
