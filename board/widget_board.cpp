#include "board/widget_board.h"

#include <QPainter>

namespace kelvanor {

void PaintBoardOnWidget(QWidget& widget, const QRegion& region, BoardPlacement placement, std::size_t count,
                        const BoardTileAt& tileAt, const BoardLook& look) {
  QPainter painter(&widget);
  const GdiRect client{0, placement.offset, placement.clientRight, placement.offset + widget.height()};
  for (const QRect& rect : region) {
    painter.setClipRect(rect);
    GdiDC dc(&painter, rect.translated(0, placement.offset));
    dc.SetWindowOrg(0, placement.offset);
    PaintBoard(dc, client, count, tileAt, look);
  }
}

}  // namespace kelvanor
