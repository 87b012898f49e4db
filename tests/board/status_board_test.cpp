// The status board painted as the view paints it, straight onto its target.
#include <gtest/gtest.h>

#include <fstream>

#include "board/status_board.h"
#include "platform/gbk.h"
#include "tests/common/process_counts.h"

namespace kelvanor::test {
namespace {

using testing::ProcStatus;

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kOutline = 0x646464, kDarkText = 0x3C3C3C;

struct Endpoint { std::string ip; int port, state; std::string result, remark; };
std::vector<Endpoint> Endpoints(int count, int state) {
  return std::vector<Endpoint>(count, {"127.0.0.1", 80, state, "x", ""});
}

// Paints `part` of the board (all of it when null) on an image that starts black, so that
// any pixel the board leaves unpainted, or paints outside the part, shows; adds to
// `lookups` how often the board asked for an endpoint.
QImage Render(const std::vector<Endpoint>& list, QSize size, QRect part = {}, qreal ratio = 1, int* lookups = nullptr) {
  static const BoardLook look = MakeBoardLook();
  QImage image(size * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  const BoardTileAt tileAt = TilesOf(list);
  {
    QPainter painter(&image);
    const QRect area = part.isNull() ? QRect(QPoint(), size) : part;
    painter.setClipRect(area);  // as a widget's paint event clips
    GdiDC dc(&painter, area);
    PaintBoard(dc, {0, 0, size.width(), size.height()}, list.size(),
               [&](std::size_t i) { if (lookups) ++*lookups; return tileAt(i); }, look);
  }
  return image;
}

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

int PixelsOf(const QImage& image, QRect area, QRgb colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) count += Pixel(image, x, y) == colour;
  return count;
}

// Rows hold as many tiles as fit in whole 200-pixel pitches, at least one; a tile covers
// its right and bottom edges.
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

// Painting part of a 1280 x 800 board (six tiles a row) paints the same pixels there as a
// full paint, none elsewhere, and asks only for the endpoints whose tiles meet that part.
TEST(StatusBoardLayout, PartialPaintAsksOnlyForVisibleTilesWithIdenticalPixels) {
  const std::tuple<const char*, int, QRect, int> paints[] = {
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
  for (const auto& [name, count, part, lookups] : paints) {
    SCOPED_TRACE(name);
    const auto list = Endpoints(count, kTileFailed);
    int asked = 0;
    const QImage partial = Render(list, {1280, 800}, part, 1, &asked);
    EXPECT_EQ(asked, lookups);
    QImage expected(1280, 800, QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter(&expected).drawImage(part.topLeft(), Render(list, {1280, 800}).copy(part));
    EXPECT_EQ(partial, expected);
  }
}

// Painted at the target's pixel ratio: on doubled screens texts must not come out in
// blurred 2 x 2 blocks of device pixels.
TEST(StatusBoardLayout, DoubledScreensStaySharp) {
  const QImage image = Render(Endpoints(1, kTileConnecting), {420, 260}, {}, 2.0);
  int finerBlocks = 0;  // in the address line
  for (int y = 32; y < 64; y += 2)
    for (int x = 36; x < 300; x += 2)
      finerBlocks += Pixel(image, x, y) != Pixel(image, x + 1, y) || Pixel(image, x, y) != Pixel(image, x, y + 1);
  EXPECT_GT(finerBlocks, 0);
}

// The board sets a text colour per tile and draws texts without a background; the caller's
// context must come back as it was.
TEST(StatusBoardLayout, PaintHandsTheContextBackAsItFoundIt) {
  QImage image(400, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  GdiDC dc(&painter, image.rect());
  dc.SetTextColor(RGB(1, 2, 3));
  dc.SetBkMode(OPAQUE);
  const auto list = Endpoints(2, kTileFailed);
  PaintBoard(dc, {0, 0, 400, 200}, list.size(), TilesOf(list), MakeBoardLook());
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  // Its canvas says whether it could paint at all.
  EXPECT_TRUE(CLightCanvas(&dc).FillBackground({0, 0, 1, 1}));
  EXPECT_FALSE(CLightCanvas(nullptr).FillBackground({0, 0, 1, 1}));
}

// The first tile covers (10, 10) to (200, 120); its light's 16 x 15 picture sits at
// (18, 36). Where its address, result and remark lines start:
const QRect kAddressStart(18, 16, 30, 16), kResultStart(36, 36, 30, 16), kRemarkStart(21, 61, 30, 16);

QImage OneTile(int state, std::string ip, std::string result, std::string remark) {
  return Render({{std::move(ip), 80, state, std::move(result), std::move(remark)}}, {400, 200});
}

// A remark's "&" shows as itself: tile texts have no mnemonics.
TEST(TileLook, EachStateHasItsColoursLightAndTextsShownAsTheyAre) {
  const std::tuple<const char*, int, QRgb, QRgb, QRgb, QRgb> looks[] = {
      {"connecting: grey outline, dark texts, grey light", kTileConnecting, kOutline, kWhite, kDarkText, 0xC0C0C0},
      {"connected: the same with a green light", kTileConnected, kOutline, kWhite, kDarkText, 0x00FF00},
      {"failed: solid red, white texts, red light", kTileFailed, kRed, kRed, kWhite, kRed},
  };
  for (const auto& [name, state, edge, inside, text, light] : looks) {
    SCOPED_TRACE(name);
    const QImage image = OneTile(state, "127.0.0.1", Gbk(u8"正常连接"), "&");
    for (auto [x, y] : {std::pair{10, 65}, {200, 65}, {105, 10}, {105, 120}}) EXPECT_EQ(Pixel(image, x, y), edge);
    for (auto [x, y] : {std::pair{9, 65}, {201, 65}, {105, 9}, {105, 121}}) EXPECT_EQ(Pixel(image, x, y), kWhite);
    for (auto [x, y] : {std::pair{11, 65}, {160, 115}}) EXPECT_EQ(Pixel(image, x, y), inside);
    EXPECT_EQ(Pixel(image, 18, 36), kWhite);  // the light picture's own white corner
    EXPECT_EQ(Pixel(image, 22, 43), light);
    for (const QRect& start : {kAddressStart, kResultStart, kRemarkStart}) {  // no box behind a text
      EXPECT_GT(PixelsOf(image, start, text), 0);
      EXPECT_GT(PixelsOf(image, start, inside), 0);
    }
  }
}

TEST(TileLook, LongTextsWrapOrAreCutInsideTheTile) {
  const QImage image = OneTile(kTileConnecting, std::string(80, 'W'), "x", QString("word ").repeated(60).toStdString());
  EXPECT_GT(PixelsOf(image, QRect(21, 85, 170, 10), kDarkText), 0);       // the remark's second line
  EXPECT_GT(PixelsOf(image, QRect(21, 108, 170, 12), kDarkText), 0);      // its last visible line
  EXPECT_GT(PixelsOf(image, QRect(188, 16, 12, 16), kDarkText), 0);       // the address up to the edge
  EXPECT_EQ(PixelsOf(image, QRect(10, 121, 300, 70), kWhite), 300 * 70);  // nothing below the tile
  EXPECT_EQ(PixelsOf(image, QRect(201, 10, 9, 110), kWhite), 9 * 110);    // nor right of it
}

#ifdef __SANITIZE_THREAD__
constexpr long kShadowFactor = 5;  // ThreadSanitizer shadows each byte written with four more
#else
constexpr long kShadowFactor = 1;
#endif

// Laying out all of an 8 MB remark without a space took hundreds of megabytes (at 50 MB
// the process reached 2 GB) and froze the window, though a tile shows four lines of it.
TEST(TileLook, AHugeRemarkIsLaidOutOnlyAsFarAsTheTileShowsIt) {
  const std::string unit = Gbk(u8"备注") + "W";
  std::string huge;
  while (huge.size() < (8 << 20)) huge += unit;
  const QImage start = OneTile(kTileConnecting, "127.0.0.1", "x", huge.substr(0, 3000));
  // Writing 5 to clear_refs starts a new peak at the present size.
  if (!(std::ofstream("/proc/self/clear_refs") << "5")) GTEST_SKIP() << "the peak resident size cannot be reset";
  const long before = ProcStatus("VmRSS");
  EXPECT_EQ(OneTile(kTileConnecting, "127.0.0.1", "x", huge), start);
  EXPECT_LT(ProcStatus("VmHWM") - before, kShadowFactor * 4 * (8 << 10))
      << "kB more at the peak: four copies of the remark";
}

TEST(BoardLook, FontsAre11PointsAtTheScreenResolutionAndTheLightStripHoldsElevenPicturesOf16By15) {
  EXPECT_EQ(FontHeightForPoints(11, 96), -15);
  const BoardLook look = MakeBoardLook();
  EXPECT_EQ(look.labelFont.pixelSize(), -FontHeightForPoints(11, ScreenLogPixelsY()));
  EXPECT_EQ(look.addressFont.pixelSize(), look.labelFont.pixelSize());
  EXPECT_EQ(look.lightImages.Count(), 11);
  for (int index : {0, 10}) EXPECT_EQ(look.lightImages.Render(index).size(), QSize(16, 15));
  for (int index : {-1, 11}) EXPECT_TRUE(look.lightImages.Render(index).isNull());
}

}  // namespace
}  // namespace kelvanor::test
