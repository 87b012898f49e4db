#pragma once
// The status board: one tile per endpoint on white, left to right in rows of 200 x 120
// pixels starting at (10, 10). It knows endpoints only through BoardTile, so the
// monitor can hand it its list without the board depending on it.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "board/board_look.h"
#include "board/light_canvas.h"
#include "platform/gdi_dc.h"

namespace kelvanor {

// State values as the endpoint list stores them.
enum BoardState : int { kTileConnecting = 0, kTileConnected = 1, kTileFailed = 2 };

// What one tile shows; texts are GBK.
struct BoardTile {
  const std::string& ip;
  int port;
  int state;
  const std::string& result;
  const std::string& remark;
  bool slow = false;  // connected, but slowly: drawn amber
};

using BoardTileAt = std::function<BoardTile(std::size_t index)>;

// The tiles of any indexable list of records with ip, port, state, result and remark
// fields, and a slow flag where they have one; the list must outlive the returned accessor.
template <typename List>
BoardTileAt TilesOf(const List& list) {
  return [&list](std::size_t i) {
    const auto& entry = list[i];
    bool slow = false;
    if constexpr (requires { entry.slow; }) slow = entry.slow;
    return BoardTile{entry.ip, entry.port, static_cast<int>(entry.state), entry.result, entry.remark, slow};
  };
}

// Tiles in one row of a client area whose right edge is clientRight: at least one.
int TilesPerRow(int clientRight);
// The rectangle of tile `index`, whose pixels are left..right and top..bottom inclusive.
GdiRect TileRect(std::size_t index, int clientRight);
// The height the tiles of `count` endpoints take: the last row's bottom edge and below it
// the margin the first row has above it (at most INT_MAX).
int BoardHeight(std::size_t count, int clientRight);
// The tile of `count` whose rectangle holds the point, if any.
std::optional<std::size_t> TileAt(int x, int y, int clientRight, std::size_t count);
// The first tile of the topmost row still showing when the board's pixel row `top` is at
// the top of the client.
std::size_t FirstTileShownFrom(int top, int clientRight);

void DrawTile(CLightCanvas& canvas, const GdiRect& tile, const BoardTile& entry,
              const BoardLook& look);

// Fills client white and draws the tiles of `count` endpoints. Only tiles that meet the
// target's clip box are drawn, so the cost follows what is visible, not the list.
void PaintBoard(GdiDC& dc, const GdiRect& client, std::size_t count, const BoardTileAt& tileAt,
                const BoardLook& look);

}  // namespace kelvanor
