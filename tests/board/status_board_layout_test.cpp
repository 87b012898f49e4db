#include <gtest/gtest.h>

#include "tests/board/board_image.h"

namespace kelvanor::test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kOutline = 0x646464;

// A connecting tile's outline pixel on its left edge, half-way down.
bool TileStartsAt(const QImage& image, int left, int top) {
  return Pixel(image, left, top + 60) == kOutline && Pixel(image, left - 1, top + 60) == kWhite;
}

TEST(StatusBoardLayout, RowHoldsAsManyTilesAsFitInWholePitches) {
  auto narrow = RenderBoard(Endpoints(2), 399, 300).image;
  EXPECT_TRUE(TileStartsAt(narrow, 10, 10));
  EXPECT_TRUE(TileStartsAt(narrow, 10, 130));
  EXPECT_EQ(Pixel(narrow, 210, 70), kWhite);

  auto wide = RenderBoard(Endpoints(2), 400, 300).image;
  EXPECT_TRUE(TileStartsAt(wide, 10, 10));
  EXPECT_TRUE(TileStartsAt(wide, 210, 10));
  EXPECT_EQ(Pixel(wide, 10, 190), kWhite);
}

TEST(StatusBoardLayout, FiveTilesAt850PixelsWrapAfterFour) {
  auto image = RenderBoard(Endpoints(5), 850, 300).image;
  for (int left : {10, 210, 410, 610}) EXPECT_TRUE(TileStartsAt(image, left, 10)) << left;
  EXPECT_TRUE(TileStartsAt(image, 10, 130));
  EXPECT_EQ(Pixel(image, 810, 70), kWhite);
  EXPECT_EQ(Pixel(image, 210, 190), kWhite);
  // A tile covers its right and bottom edges: 10..200 by 10..120 inclusive.
  EXPECT_EQ(Pixel(image, 200, 60), kOutline);
  EXPECT_EQ(Pixel(image, 201, 60), kWhite);
  EXPECT_EQ(Pixel(image, 100, 120), kOutline);
  EXPECT_EQ(Pixel(image, 100, 121), kWhite);
}

TEST(StatusBoardLayout, NarrowWindowStillShowsTheFirstTileOfEachRowCut) {
  auto image = RenderBoard(Endpoints(2), 150, 300).image;
  EXPECT_TRUE(TileStartsAt(image, 10, 10));
  EXPECT_TRUE(TileStartsAt(image, 10, 130));
}

TEST(StatusBoardLayout, EmptyListPaintsEveryPixelWhite) {
  auto image = RenderBoard({}, 300, 200).image;
  EXPECT_FALSE(AnyPixelOtherThan(image, image.rect(), kWhite));
}

TEST(StatusBoardLayout, TileRectFollowsTheRowRule) {
  EXPECT_EQ(TileRect(4, 850), (GdiRect{10, 130, 200, 240}));
  EXPECT_EQ(TileRect(3, 850), (GdiRect{610, 10, 800, 120}));
  EXPECT_EQ(TileRect(1, 0), (GdiRect{10, 130, 200, 240}));
}

// Painting only part of the window must give the same pixels there as a full paint,
// while asking for no endpoint whose tile lies outside that part.
TEST(StatusBoardLayout, PartialPaintSkipsHiddenTilesWithIdenticalPixels) {
  auto list = Endpoints(10000, kTileFailed);
  const QRect part(150, 300, 300, 150);  // rows 2..3, columns 0..2
  auto full = RenderBoard(list, 1280, 800);
  auto partial = RenderBoard(list, 1280, 800, part);
  EXPECT_EQ(full.image.copy(part), partial.image.copy(part));
  EXPECT_EQ(full.lookups, 6 * 7);
  EXPECT_EQ(partial.lookups, 2 * 3);
}

TEST(StatusBoardLayout, PaintBelowTheLastRowAsksForNothing) {
  auto board = RenderBoard(Endpoints(3), 850, 800, QRect(0, 400, 850, 400));
  EXPECT_EQ(board.lookups, 0);
  EXPECT_FALSE(AnyPixelOtherThan(board.image, QRect(0, 400, 850, 400), kWhite));
}

}  // namespace
}  // namespace kelvanor::test
