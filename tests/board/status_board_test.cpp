// The status board painted as the view paints it, through the off-screen buffer, on an
// image whose pixels are read back.
#include <gtest/gtest.h>

#include "board/mem_dc.h"
#include "board/status_board.h"
#include "platform/gbk.h"

namespace kelvanor::test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kOutline = 0x646464, kDarkText = 0x3C3C3C;

struct Endpoint {
  std::string ip;
  int port, state;
  std::string result, remark;
};

std::vector<Endpoint> Endpoints(int count, int state = kTileConnecting) {
  return std::vector<Endpoint>(count, {"127.0.0.1", 80, state, "x", ""});
}

struct BoardRender {
  QImage image;
  int lookups = 0;  // how often the board asked for an endpoint
};

// Paints `part` of the board (all of it when null) on an image that starts black, so that
// any pixel the board leaves unpainted, or paints outside the part, shows.
BoardRender Render(const std::vector<Endpoint>& list, QSize size, QRect part = {}, qreal ratio = 1) {
  static const BoardLook look = MakeBoardLook();
  BoardRender out{QImage(size * ratio, QImage::Format_RGB32)};
  out.image.setDevicePixelRatio(ratio);
  out.image.fill(Qt::black);
  const BoardTileAt tileAt = TilesOf(list);
  const auto counted = [&](std::size_t i) { ++out.lookups; return tileAt(i); };
  {
    QPainter painter(&out.image);
    GdiDC target(&painter, part.isNull() ? QRect(QPoint(), size) : part);
    CMyMemDC buffer(&target);
    PaintBoard(buffer, {0, 0, size.width(), size.height()}, list.size(), counted, look);
  }
  return out;
}

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

int PixelsOf(const QImage& image, QRect area, QRgb colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) count += Pixel(image, x, y) == colour;
  return count;
}

// The tile's straight edges have `edge` colour on its inclusive rectangle, with white just
// outside; edges beyond the image are not looked at.
bool Framed(const QImage& image, const GdiRect& tile, QRgb edge) {
  const int x = (tile.left + tile.right) / 2, y = (tile.top + tile.bottom) / 2;
  const auto is = [&](int px, int py, QRgb c) { return !image.rect().contains(px, py) || Pixel(image, px, py) == c; };
  return is(tile.left, y, edge) && is(tile.right, y, edge) && is(x, tile.top, edge) && is(x, tile.bottom, edge) &&
         is(tile.left - 1, y, kWhite) && is(tile.right + 1, y, kWhite) && is(x, tile.top - 1, kWhite) &&
         is(x, tile.bottom + 1, kWhite);
}

// Rows hold as many tiles as fit in whole 200-pixel pitches, at least one.
TEST(StatusBoardLayout, TilesFillRowsOfWholePitches) {
  const std::tuple<const char*, std::size_t, int, GdiRect> placements[] = {
      {"first tile", 0, 850, {10, 10, 200, 120}},
      {"399 pixels hold one tile a row", 1, 399, {10, 130, 200, 240}},
      {"400 pixels hold two", 1, 400, {210, 10, 400, 120}},
      {"850 pixels hold four", 3, 850, {610, 10, 800, 120}},
      {"the fifth wraps at 850 pixels", 4, 850, {10, 130, 200, 240}},
      {"a narrow window still has one a row", 1, 150, {10, 130, 200, 240}},
  };
  for (const auto& [name, index, width, tile] : placements) EXPECT_EQ(TileRect(index, width), tile) << name;
}

TEST(StatusBoardLayout, EmptyListPaintsEveryPixelWhite) {
  const QImage image = Render({}, {300, 200}).image;
  EXPECT_EQ(PixelsOf(image, image.rect(), kWhite), 300 * 200);
}

// Painting part of a 1280 x 800 board (six tiles a row) paints the same pixels there as a
// full paint, none elsewhere, and asks only for the endpoints whose tiles meet that part.
struct PartialPaint {
  const char* name;
  int count;
  QRect part;
  int lookups;
};
const PartialPaint kPartialPaints[] = {
    {"the whole board: seven rows of six", 10000, {0, 0, 1280, 800}, 42},
    {"rows 2 and 3, columns 0 to 2", 10000, {150, 300, 300, 150}, 6},
    {"the margin before the first tile", 10000, {0, 0, 10, 10}, 0},
    {"the first tile's top-left pixel", 10000, {10, 10, 1, 1}, 1},
    {"the first tile's bottom-right pixel", 10000, {200, 120, 1, 1}, 1},
    {"the gap between four tiles", 10000, {201, 121, 9, 9}, 0},
    {"right of the last whole column", 10000, {1201, 0, 79, 800}, 0},
    {"a last row of two", 8, {0, 0, 1280, 800}, 8},
    {"below the last row", 8, {0, 250, 1280, 550}, 0},
};

TEST(StatusBoardLayout, PartialPaintAsksOnlyForVisibleTilesWithIdenticalPixels) {
  for (const PartialPaint& p : kPartialPaints) {
    SCOPED_TRACE(p.name);
    const auto list = Endpoints(p.count, kTileFailed);
    const BoardRender partial = Render(list, {1280, 800}, p.part);
    EXPECT_EQ(partial.lookups, p.lookups);
    QImage expected(1280, 800, QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter(&expected).drawImage(p.part.topLeft(), Render(list, {1280, 800}).image.copy(p.part));
    EXPECT_EQ(partial.image, expected);
  }
}

// A buffer at the logical size would be scaled up on doubled screens: texts would come out
// in blurred 2 x 2 blocks of device pixels.
TEST(StatusBoardLayout, MemoryDCKeepsThePixelRatioSoDoubledScreensStaySharp) {
  const QImage image = Render(Endpoints(1), {420, 260}, {}, 2.0).image;
  EXPECT_EQ(Pixel(image, 20, 120), kOutline);
  EXPECT_EQ(Pixel(image, 22, 120), kWhite);
  int finerBlocks = 0;  // in the address line
  for (int y = 32; y < 64; y += 2)
    for (int x = 36; x < 300; x += 2)
      finerBlocks += Pixel(image, x, y) != Pixel(image, x + 1, y) || Pixel(image, x, y) != Pixel(image, x, y + 1);
  EXPECT_GT(finerBlocks, 0);
}

// The first tile; its light's 16 x 15 picture sits at (18, 36), the result right of it.
const GdiRect kTile{10, 10, 200, 120};
constexpr int kLightX = 18, kLightY = 36;
const QRect kAddressLine(18, 16, 150, 16), kResultLine(36, 36, 150, 20), kRemarkArea(21, 61, 170, 59);

QImage OneTile(int state, std::string ip, std::string result, std::string remark) {
  return Render({{std::move(ip), 80, state, std::move(result), std::move(remark)}}, {400, 200}).image;
}

struct StateLook {
  const char* name;
  int state;
  QRgb edge, inside, text, light, lightMiddle;
};
const StateLook kStateLooks[] = {
    {"connecting: grey outline, dark texts, grey light", kTileConnecting, kOutline, kWhite, kDarkText, 0xC0C0C0,
     0xC0C0C0},
    {"connected: the same with a green light", kTileConnected, kOutline, kWhite, kDarkText, 0x00FF00, 0x00FF00},
    {"failed: solid red, white texts, red light with a yellow mark", kTileFailed, kRed, kRed, kWhite, kRed, 0xFFFF00},
};

TEST(TileLook, EachStateHasItsColoursLightAndTexts) {
  for (const StateLook& look : kStateLooks) {
    SCOPED_TRACE(look.name);
    const QImage image = OneTile(look.state, "127.0.0.1", Gbk(u8"正常连接"), "HHHH");
    EXPECT_TRUE(Framed(image, kTile, look.edge));
    EXPECT_EQ(Pixel(image, kTile.left + 1, 65), look.inside);
    EXPECT_EQ(Pixel(image, 160, 115), look.inside);
    EXPECT_EQ(Pixel(image, kLightX, kLightY), kWhite);  // the picture's own white corner
    EXPECT_EQ(Pixel(image, kLightX + 4, kLightY + 7), look.light);
    EXPECT_EQ(Pixel(image, kLightX + 7, kLightY + 5), look.lightMiddle);
    for (const QRect& text : {kAddressLine, kResultLine, kRemarkArea}) EXPECT_GT(PixelsOf(image, text, look.text), 0);
  }
}

TEST(TileLook, LongTextsWrapOrAreCutInsideTheTile) {
  std::string remark;
  for (int i = 0; i < 60; ++i) remark += "word ";
  const QImage image = OneTile(kTileConnecting, std::string(80, 'W'), "x", remark);
  EXPECT_GT(PixelsOf(image, QRect(21, 85, 170, 10), kDarkText), 0);   // the remark's second line
  EXPECT_GT(PixelsOf(image, QRect(21, 108, 170, 12), kDarkText), 0);  // its last visible line
  EXPECT_GT(PixelsOf(image, QRect(188, 16, 12, 16), kDarkText), 0);   // the address up to the edge
  EXPECT_EQ(PixelsOf(image, QRect(10, 121, 300, 70), kWhite), 300 * 70);  // nothing below the tile
  EXPECT_EQ(PixelsOf(image, QRect(201, 10, 9, 110), kWhite), 9 * 110);    // nor right of it
}

TEST(TileLook, AmpersandInARemarkIsShownNotTakenAsAMnemonic) {
  EXPECT_GT(PixelsOf(OneTile(kTileConnecting, "127.0.0.1", "x", "&"), kRemarkArea, kDarkText), 0);
}

TEST(BoardLook, FontsAre11PointsAtTheScreenResolution) {
  EXPECT_EQ(FontHeightForPoints(11, 96), -15);
  EXPECT_EQ(FontHeightForPoints(11, 120), -18);
  const BoardLook look = MakeBoardLook();  // at the screen's resolution
  EXPECT_EQ(look.labelFont.pixelSize(), -FontHeightForPoints(11, ScreenLogPixelsY()));
  EXPECT_EQ(look.addressFont.pixelSize(), look.labelFont.pixelSize());
}

TEST(BoardLook, LightStripHoldsElevenPicturesOf16By15) {
  const LightImageList lights;
  EXPECT_EQ(lights.Count(), 11);
  EXPECT_EQ(lights.Render(0).size(), QSize(16, 15));
  EXPECT_EQ(lights.Render(10).size(), QSize(16, 15));
  EXPECT_TRUE(lights.Render(11).isNull());
  EXPECT_TRUE(lights.Render(-1).isNull());
}

}  // namespace
}  // namespace kelvanor::test
