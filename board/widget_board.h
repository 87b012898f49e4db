#pragma once
// Paints the board on a widget for one paint event: through an off-screen buffer of
// the paint rectangle, copied to the widget in one operation.
#include <QRect>
#include <QWidget>

#include "board/status_board.h"

namespace kelvanor {

void PaintBoardOnWidget(QWidget& widget, const QRect& paintRect, std::size_t count,
                        const BoardTileAt& tileAt, const BoardLook& look);

}  // namespace kelvanor
