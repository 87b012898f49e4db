#pragma once
// Paints the board on a widget for one paint event, straight into the widget's own
// buffer (Qt double-buffers widgets already), one rectangle of the event's region at a
// time, so a paint costs the tiles that changed rather than everything between them.
#include <QRegion>
#include <QWidget>

#include "board/status_board.h"

namespace kelvanor {

// Where the board sits in the widget: scrolled down by `offset` pixels, tiles laid out
// against `clientRight`.
struct BoardPlacement {
  int offset = 0;
  int clientRight = 0;
};

void PaintBoardOnWidget(QWidget& widget, const QRegion& region, BoardPlacement placement, std::size_t count,
                        const BoardTileAt& tileAt, const BoardLook& look);

}  // namespace kelvanor
