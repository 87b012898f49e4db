#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/gbk.h"
#include "platform/gdi_dc.h"

using namespace kelvanor;

namespace {

// A white image with a GdiDC over the whole of it.
struct Canvas {
  explicit Canvas(int w = 60, int h = 40) : image(w, h, QImage::Format_RGB32) {
    image.fill(Qt::white);
    painter.begin(&image);
    dc = std::make_unique<GdiDC>(&painter, image.rect());
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    dc->SelectFont(font);
  }
  QImage Done() {
    painter.end();
    return image;
  }
  COLORREF At(const QImage& img, int x, int y) const { return FromQColor(img.pixelColor(x, y)); }
  QImage image;
  QPainter painter;
  std::unique_ptr<GdiDC> dc;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

int InkColumns(const QImage& img) {
  int count = 0;
  for (int x = 0; x < img.width(); ++x)
    for (int y = 0; y < img.height(); ++y)
      if (img.pixelColor(x, y) != Qt::white) { ++count; break; }
  return count;
}

}  // namespace

TEST(GdiDC, RectanglesAndLinesLeaveOutTheirRightAndBottomEdge) {
  Canvas c;
  c.dc->FillSolidRect({2, 2, 5, 4}, kRed);
  c.dc->SelectPen({GdiPen::Solid, 1, kRed});
  c.dc->MoveTo(10, 10);
  c.dc->LineTo(20, 10);
  c.dc->MoveTo(30, 20);
  c.dc->LineTo(30, 10);  // upwards: 20 down to 11
  QImage img = c.Done();
  EXPECT_EQ(c.At(img, 2, 2), kRed);
  EXPECT_EQ(c.At(img, 4, 3), kRed);
  EXPECT_EQ(c.At(img, 5, 3), kWhite);
  EXPECT_EQ(c.At(img, 4, 4), kWhite);
  EXPECT_EQ(c.At(img, 10, 10), kRed);
  EXPECT_EQ(c.At(img, 19, 10), kRed);
  EXPECT_EQ(c.At(img, 20, 10), kWhite);
  EXPECT_EQ(c.At(img, 30, 20), kRed);
  EXPECT_EQ(c.At(img, 30, 11), kRed);
  EXPECT_EQ(c.At(img, 30, 10), kWhite);
}

TEST(GdiDC, WindowOriginShiftsEveryDrawing) {
  Canvas c;
  c.dc->SetWindowOrg(100, 200);
  c.dc->FillSolidRect({100, 200, 101, 201}, kRed);
  QImage img = c.Done();
  EXPECT_EQ(c.At(img, 0, 0), kRed);
  EXPECT_EQ(c.At(img, 1, 0), kWhite);
}

TEST(GdiDC, RoundRectangleCutsOnlyItsCornersAndRingLeavesInsideAlone) {
  Canvas c;
  c.dc->FillSolidRect({0, 0, 60, 40}, RGB(0, 0, 255));
  c.dc->FillRoundRectRegion({10, 10, 31, 21}, 4, 4, kRed);  // covers 10..30 x 10..20
  c.dc->FillRoundRectRing({40, 10, 51, 21}, {41, 11, 50, 20}, 4, 4, kRed);
  QImage img = c.Done();
  EXPECT_NE(c.At(img, 10, 10), kRed);  // corner pixel cut
  EXPECT_EQ(c.At(img, 11, 10), kRed);
  EXPECT_EQ(c.At(img, 10, 11), kRed);
  EXPECT_EQ(c.At(img, 30, 15), kRed);
  EXPECT_EQ(c.At(img, 20, 20), kRed);
  EXPECT_NE(c.At(img, 31, 15), kRed);
  EXPECT_NE(c.At(img, 20, 21), kRed);
  EXPECT_EQ(c.At(img, 40, 15), kRed);   // ring edge
  EXPECT_EQ(c.At(img, 45, 20), kRed);
  EXPECT_EQ(c.At(img, 45, 15), RGB(0, 0, 255));  // inside untouched
}

TEST(GdiDC, CalcRectMeasuresWithoutDrawing) {
  Canvas c;
  GdiRect one{0, 0, 1000, 0};
  const int h = c.dc->DrawText("abc", one, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(one.Width(), c.dc->GetTextExtent("abc").width());
  EXPECT_EQ(one.Height(), h);
  GdiRect two{0, 0, 1000, 0};
  c.dc->DrawText("abc\ndef", two, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(two.Height(), 2 * h);
  GdiRect narrow{0, 0, c.dc->GetTextExtent("abc").width() + 2, 0};
  c.dc->DrawText("abc def ghi", narrow, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(narrow.Height(), 3 * h);
  EXPECT_EQ(InkColumns(c.Done()), 0);
}

TEST(GdiDC, AmpersandIsAMnemonicUnlessNoPrefix) {
  Canvas c;
  GdiRect prefix{0, 0, 1000, 0}, literal{0, 0, 1000, 0}, plain{0, 0, 1000, 0};
  c.dc->DrawText("a&b", prefix, DT_SINGLELINE | DT_CALCRECT);
  c.dc->DrawText("a&b", literal, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  c.dc->DrawText("ab", plain, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(prefix.Width(), plain.Width());
  EXPECT_GT(literal.Width(), plain.Width());
}

TEST(GdiDC, TextIsClippedToItsRectangleAndEllipsisKeepsItInside) {
  Canvas clipped(80, 20), elided(80, 20);
  GdiRect r{0, 0, 20, 20};
  clipped.dc->DrawText("WWWWWWWWWW", r, DT_SINGLELINE);
  elided.dc->DrawText("WWWWWWWWWW", r, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(InkColumns(clipped.Done()), 20);
  EXPECT_LE(InkColumns(elided.Done()), 20);
  Canvas wide(80, 20);
  GdiRect noclip{0, 0, 20, 20};
  wide.dc->DrawText("WWWWWWWWWW", noclip, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkColumns(wide.Done()), 20);
}

TEST(GdiDC, CjkTextIsDrawnInTheTextColour) {
  Canvas c;
  c.dc->SetBkMode(TRANSPARENT);
  c.dc->SetTextColor(kRed);
  GdiRect r{0, 0, 60, 40};
  c.dc->DrawText(Gbk(u8"正常连接"), r, DT_SINGLELINE);
  QImage img = c.Done();
  bool red = false;
  for (int x = 0; x < 60 && !red; ++x)
    for (int y = 0; y < 40 && !red; ++y) red = c.At(img, x, y) == kRed;
  EXPECT_TRUE(red);
}

TEST(GdiDC, RestoreDCBringsBackColoursFontAndOrigin) {
  Canvas c;
  const int level = c.dc->SaveDC();
  c.dc->SetTextColor(kRed);
  c.dc->SetBkMode(TRANSPARENT);
  c.dc->SetWindowOrg(5, 5);
  c.dc->RestoreDC(level);
  EXPECT_EQ(c.dc->GetTextColor(), RGB(0, 0, 0));
  EXPECT_EQ(c.dc->GetBkMode(), OPAQUE);
  EXPECT_EQ(c.dc->GetWindowOrg(), QPoint(0, 0));
  c.Done();
}

TEST(GdiFont, FaceNamesMapToInstalledFontsAtTheRequestedPixelHeight) {
  LogFont lf;
  lf.lfHeight = -15;
  const std::string song = Gbk(u8"宋体");
  std::copy(song.begin(), song.end(), lf.lfFaceName);
  QFont font = FontFromLogFont(lf);
  EXPECT_EQ(font.family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(font.pixelSize(), 15);
  EXPECT_EQ(FontFromLogFont(MessageLogFont()).pixelSize(), -MessageLogFont().lfHeight);
}
