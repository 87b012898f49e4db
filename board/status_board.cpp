#include "board/status_board.h"

#include <algorithm>
#include <climits>

#include "platform/socket_address.h"

namespace kelvanor {
namespace {

constexpr int kFirstLeft = 10, kFirstTop = 10, kFirstRight = 200, kFirstBottom = 120;
constexpr int kPitchX = 200, kPitchY = 120;
// Tile texts show "&" as it is: no mnemonic underlines on an endpoint's remark.
constexpr unsigned kLineFormat = DT_SINGLELINE | DT_NOPREFIX;
constexpr unsigned kWrapFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
constexpr COLORREF kSlowAmber = RGB(255, 191, 0);

int LightOf(int state) {
  if (state == kTileFailed) return kLightFailed;
  return state == kTileConnected ? kLightConnected : kLightConnecting;
}

// First and one-past-last cell of a pitch whose cells cover [first + i*pitch,
// last + i*pitch] inclusive that meet the half-open span [from, to).
std::pair<long long, long long> VisibleCells(int from, int to, int first, int last, int pitch) {
  const long long begin =
      std::max<long long>(0, (static_cast<long long>(from) - last + pitch - 1) / pitch);
  const long long end = to <= first ? 0 : (static_cast<long long>(to) - 1 - first) / pitch + 1;
  return {begin, end};
}

}  // namespace

int TilesPerRow(int clientRight) { return std::max(1, clientRight / kPitchX); }

GdiRect TileRect(std::size_t index, int clientRight) {
  const auto perRow = static_cast<std::size_t>(TilesPerRow(clientRight));
  const int column = static_cast<int>(index % perRow);
  const int row = static_cast<int>(index / perRow);
  return {kFirstLeft + column * kPitchX, kFirstTop + row * kPitchY, kFirstRight + column * kPitchX,
          kFirstBottom + row * kPitchY};
}

int BoardHeight(std::size_t count, int clientRight) {
  const auto perRow = static_cast<long long>(TilesPerRow(clientRight));
  const long long rows = (static_cast<long long>(count) + perRow - 1) / perRow;
  if (rows == 0) return 0;
  return static_cast<int>(std::min<long long>(INT_MAX, (rows - 1) * kPitchY + kFirstBottom + 1 + kFirstTop));
}

std::optional<std::size_t> TileAt(int x, int y, int clientRight, std::size_t count) {
  const auto [column, endColumn] = VisibleCells(x, x + 1, kFirstLeft, kFirstRight, kPitchX);
  const auto [row, endRow] = VisibleCells(y, y + 1, kFirstTop, kFirstBottom, kPitchY);
  const long long perRow = TilesPerRow(clientRight);
  if (column >= endColumn || row >= endRow || column >= perRow) return std::nullopt;
  const auto index = static_cast<std::size_t>(row * perRow + column);
  if (index >= count) return std::nullopt;
  return index;
}

std::size_t FirstTileShownFrom(int top, int clientRight) {
  const long long row = VisibleCells(top, top + 1, kFirstTop, kFirstBottom, kPitchY).first;
  return static_cast<std::size_t>(row * TilesPerRow(clientRight));
}

void DrawTile(CLightCanvas& canvas, const GdiRect& tile, const BoardTile& entry,
              const BoardLook& look) {
  const auto [l, t, r, b] = tile;
  if (entry.state == kTileFailed) {
    canvas.FillRoundRect(tile, 4, 4, kNoColor, RGB(255, 0, 0));
    canvas.SetTextColor(RGB(255, 255, 255));
  } else if (entry.slow && entry.state == kTileConnected) {
    canvas.FillRoundRect(tile, 4, 4, RGB(100, 100, 100), kSlowAmber);
    canvas.SetTextColor(RGB(60, 60, 60));
  } else {
    canvas.FillRoundRect(tile, 4, 4, RGB(100, 100, 100), kNoColor);
    canvas.SetTextColor(RGB(60, 60, 60));
  }
  canvas.DrawLabel(EndpointText(entry.ip, entry.port), {l + 8, t + 6, r, b}, kLineFormat,
                   &look.addressFont);
  const QImage light = look.lightImages.Render(LightOf(entry.state));
  canvas.DrawImage(l + 8, t + 26, light.width(), light.height(), &light);
  canvas.DrawLabel(entry.result, {l + 26, t + 26, r, b}, kLineFormat, &look.labelFont);
  canvas.DrawLabel(entry.remark, {l + 11, t + 51, r, b}, kWrapFormat, &look.labelFont);
}

void PaintBoard(GdiDC& dc, const GdiRect& client, std::size_t count, const BoardTileAt& tileAt,
                const BoardLook& look) {
  CLightCanvas canvas(&dc);
  canvas.SetBkMode(TRANSPARENT);
  canvas.FillBackground(client);
  const GdiRect clip = dc.GetClipBox();
  const long long perRow = TilesPerRow(client.right);
  const auto [firstRow, endRow] = VisibleCells(clip.top, clip.bottom, kFirstTop, kFirstBottom, kPitchY);
  const auto [firstColumn, endColumnAll] =
      VisibleCells(clip.left, clip.right, kFirstLeft, kFirstRight, kPitchX);
  const long long endColumn = std::min(endColumnAll, perRow);
  const auto total = static_cast<long long>(count);
  for (long long row = firstRow; row < endRow && row * perRow < total; ++row) {
    for (long long column = firstColumn; column < endColumn && row * perRow + column < total; ++column) {
      const auto index = static_cast<std::size_t>(row * perRow + column);
      DrawTile(canvas, TileRect(index, client.right), tileAt(index), look);
    }
  }
  canvas.Restore();
}

}  // namespace kelvanor
