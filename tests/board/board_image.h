#pragma once
// Renders the board of a list of endpoints into an image, as the view's paint would.
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "board/status_board.h"

namespace kelvanor::test {

struct Endpoint {
  std::string ip;
  int port;
  int state;
  std::string result;
  std::string remark;
};

inline const BoardLook& Look() {
  static const BoardLook look = MakeBoardLook();
  return look;
}

// Counts how often the board asked for an endpoint.
struct BoardRender {
  QImage image;
  int lookups = 0;
};

// The image starts black so that any pixel the board leaves unpainted shows.
inline BoardRender RenderBoard(const std::vector<Endpoint>& list, int width, int height,
                               QRect clip = {}) {
  BoardRender out{QImage(width, height, QImage::Format_RGB32)};
  out.image.fill(Qt::black);
  if (clip.isNull()) clip = QRect(0, 0, width, height);
  QPainter painter(&out.image);
  painter.setClipRect(clip);
  GdiDC dc(&painter, clip);
  const BoardTileAt tileAt = TilesOf(list);
  PaintBoard(dc, {0, 0, width, height}, list.size(),
             [&](std::size_t i) {
               ++out.lookups;
               return tileAt(i);
             },
             Look());
  return out;
}

inline std::vector<Endpoint> Endpoints(int count, int state = kTileConnecting) {
  std::vector<Endpoint> list;
  for (int i = 0; i < count; ++i) list.push_back({"127.0.0.1", 8000 + i, state, "x", ""});
  return list;
}

inline QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// Whether any pixel of the inclusive rectangle differs from `colour`.
inline bool AnyPixelOtherThan(const QImage& image, QRect area, QRgb colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (Pixel(image, x, y) != (colour & 0xFFFFFF)) return true;
  return false;
}

}  // namespace kelvanor::test
