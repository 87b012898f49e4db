#include "board/widget_board.h"

#include <QPainter>

#include "board/mem_dc.h"

namespace kelvanor {

void PaintBoardOnWidget(QWidget& widget, const QRect& paintRect, std::size_t count,
                        const BoardTileAt& tileAt, const BoardLook& look) {
  QPainter painter(&widget);
  GdiDC target(&painter, paintRect);
  CMyMemDC buffer(&target);
  PaintBoard(buffer, GdiRect::FromQRect(widget.rect()), count, tileAt, look);
}

}  // namespace kelvanor
