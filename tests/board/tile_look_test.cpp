#include <gtest/gtest.h>

#include "platform/gbk.h"
#include "tests/board/board_image.h"

namespace kelvanor::test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kOutline = 0x646464;
constexpr QRgb kDarkText = 0x3C3C3C;
// The first tile; its light sits at (18, 36), 16 x 15.
constexpr int kL = 10, kT = 10, kR = 200, kB = 120;
constexpr int kLightX = kL + 8, kLightY = kT + 26;

QImage OneTile(int state, std::string ip = "127.0.0.1", std::string remark = "",
               std::string result = "x") {
  return RenderBoard({{std::move(ip), 80, state, std::move(result), std::move(remark)}}, 400, 200)
      .image;
}

bool AnyPixelOf(const QImage& image, QRect area, QRgb colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (Pixel(image, x, y) == colour) return true;
  return false;
}

const QRect kAddressLine(kL + 8, kT + 6, 150, 16);
const QRect kRemarkArea(kL + 11, kT + 51, 170, kB - kT - 51);

TEST(TileLook, FailedTileIsSolidRedWithWhiteTextsAndRedLightOnWhite) {
  auto image = OneTile(kTileFailed, "127.0.0.1", "HHHH");
  EXPECT_EQ(Pixel(image, kL, kT + 60), kRed);
  EXPECT_EQ(Pixel(image, kL + 100, kB), kRed);
  EXPECT_EQ(Pixel(image, kR, kT + 60), kRed);
  EXPECT_EQ(Pixel(image, kL + 150, kB - 5), kRed);
  EXPECT_EQ(Pixel(image, kLightX, kLightY), kWhite);            // the light's white square
  EXPECT_EQ(Pixel(image, kLightX + 4, kLightY + 7), kRed);      // the light itself
  EXPECT_EQ(Pixel(image, kLightX + 7, kLightY + 5), 0xFFFF00);  // its exclamation mark
  EXPECT_TRUE(AnyPixelOf(image, kAddressLine, kWhite));
  EXPECT_TRUE(AnyPixelOf(image, kRemarkArea, kWhite));
}

TEST(TileLook, ConnectingTileHasGreyOutlineDarkTextsAndGreyLight) {
  auto image = OneTile(kTileConnecting, "127.0.0.1", "HHHH");
  EXPECT_EQ(Pixel(image, kL, kT + 60), kOutline);
  EXPECT_EQ(Pixel(image, kL + 1, kT + 60), kWhite);
  EXPECT_EQ(Pixel(image, kL + 100, kT), kOutline);
  EXPECT_EQ(Pixel(image, kL + 100, kB - 1), kWhite);
  EXPECT_EQ(Pixel(image, kLightX + 7, kLightY + 7), 0xC0C0C0);
  EXPECT_TRUE(AnyPixelOf(image, kAddressLine, kDarkText));
  EXPECT_TRUE(AnyPixelOf(image, kRemarkArea, kDarkText));
}

TEST(TileLook, ConnectedTileDiffersOnlyByItsGreenLight) {
  auto image = OneTile(kTileConnected);
  EXPECT_EQ(Pixel(image, kL, kT + 60), kOutline);
  EXPECT_EQ(Pixel(image, kLightX + 7, kLightY + 7), 0x00FF00);
  auto connecting = OneTile(kTileConnecting);
  const QRect light(kLightX, kLightY, 16, 15);
  image.copy(light).fill(0);
  QImage a = image, b = connecting;
  QPainter(&a).fillRect(light, Qt::black);
  QPainter(&b).fillRect(light, Qt::black);
  EXPECT_EQ(a, b);
}

TEST(TileLook, LongRemarkWrapsInsideTheTileAndIsCutAtItsBottom) {
  std::string remark;
  for (int i = 0; i < 60; ++i) remark += "word ";
  auto image = OneTile(kTileConnecting, "127.0.0.1", remark);
  // Text on the second and on the last visible line of the remark.
  EXPECT_TRUE(AnyPixelOf(image, QRect(kL + 11, kT + 75, 170, 10), kDarkText));
  EXPECT_TRUE(AnyPixelOf(image, QRect(kL + 11, kB - 12, 170, 12), kDarkText));
  // Nothing escapes the tile.
  EXPECT_FALSE(AnyPixelOtherThan(image, QRect(kL, kB + 1, 300, 70), kWhite));
  EXPECT_FALSE(AnyPixelOtherThan(image, QRect(kR + 1, kT, 8, kB - kT), kWhite));
}

TEST(TileLook, LongAddressIsCutAtTheRightEdge) {
  auto image = OneTile(kTileConnecting, std::string(80, 'W'));
  EXPECT_TRUE(AnyPixelOf(image, QRect(kR - 12, kT + 6, 12, 16), kDarkText));
  EXPECT_FALSE(AnyPixelOtherThan(image, QRect(kR + 1, kT, 9, kB - kT), kWhite));
}

TEST(TileLook, AmpersandInARemarkIsShownNotTakenAsAMnemonic) {
  auto image = OneTile(kTileConnecting, "127.0.0.1", "&");
  EXPECT_TRUE(AnyPixelOf(image, kRemarkArea, kDarkText));
}

TEST(TileLook, ChineseResultIsDrawn) {
  auto image = OneTile(kTileConnected, "127.0.0.1", "", Gbk(u8"正常连接"));
  EXPECT_TRUE(AnyPixelOf(image, QRect(kL + 26, kT + 26, 150, 20), kDarkText));
}

TEST(BoardLook, FontsAre11PointsAtTheScreenResolution) {
  EXPECT_EQ(FontHeightForPoints(11, 96), -15);
  EXPECT_EQ(FontHeightForPoints(11, 72), -11);
  EXPECT_EQ(FontHeightForPoints(11, 120), -18);
  const int pixels = -FontHeightForPoints(11, ScreenLogPixelsY());
  EXPECT_EQ(Look().labelFont.pixelSize(), pixels);
  EXPECT_EQ(Look().addressFont.pixelSize(), pixels);
}

TEST(BoardLook, LightStripHoldsElevenPicturesOf16By15) {
  const LightImageList& lights = Look().lightImages;
  EXPECT_EQ(lights.Count(), 11);
  EXPECT_EQ(lights.Render(10).size(), QSize(16, 15));
  EXPECT_TRUE(lights.Render(11).isNull());
  EXPECT_TRUE(lights.Render(-1).isNull());
}

}  // namespace
}  // namespace kelvanor::test
