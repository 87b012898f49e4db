#include <gtest/gtest.h>

#include <QPainter>

#include "platform/gbk.h"
#include "platform/gdi_dc.h"

using namespace kelvanor;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// A white image with a GdiDC over the whole of it, in a 12-pixel CJK font.
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
  QImage image;
  QPainter painter;
  std::unique_ptr<GdiDC> dc;
};

struct Pixel {
  int x, y;
  COLORREF color;
};
void ExpectPixels(const QImage& image, std::initializer_list<Pixel> pixels) {
  for (const Pixel& p : pixels) EXPECT_EQ(FromQColor(image.pixelColor(p.x, p.y)), p.color) << p.x << "," << p.y;
}

bool InkIn(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) != Qt::white) return true;
  return false;
}

// The image of one line of text drawn with `format`.
QImage TextImage(const std::string& text, unsigned format, int height = 20) {
  Canvas c(80, height);
  GdiRect r{0, 0, 80, height};
  c.dc->DrawText(text, r, format);
  return c.Done();
}

TEST(GdiDC, FillsLinesAndRoundRegionsLeaveOutTheirRightAndBottomEdge) {
  Canvas c;
  c.dc->FillSolidRect({2, 2, 5, 4}, kRed);
  c.dc->SelectPen({GdiPen::Solid, 1, kRed});
  c.dc->MoveTo(10, 10);
  c.dc->LineTo(20, 10);
  c.dc->MoveTo(30, 20);
  c.dc->LineTo(30, 10);  // upwards: 20 down to 11
  c.dc->SetWindowOrg(0, -20);  // what follows lands 20 pixels lower
  c.dc->FillRoundRectRegion({10, 0, 31, 11}, 4, 4, kRed);  // covers 10..30 x 20..30
  c.dc->FillRoundRectRing({40, 0, 51, 11}, {41, 1, 50, 10}, 4, 4, kBlue);
  ExpectPixels(c.Done(), {{2, 2, kRed}, {4, 3, kRed}, {5, 3, kWhite}, {4, 4, kWhite},       // fill
                          {10, 10, kRed}, {19, 10, kRed}, {20, 10, kWhite},                 // rightwards
                          {30, 20, kRed}, {30, 11, kRed}, {30, 10, kWhite},                 // upwards
                          {10, 20, kWhite}, {11, 20, kRed}, {30, 25, kRed}, {31, 25, kWhite},  // corner cut
                          {20, 30, kRed}, {20, 31, kWhite},
                          {40, 25, kBlue}, {45, 30, kBlue}, {45, 25, kWhite}});            // ring
}

TEST(GdiDC, RestoreDCGoesBackToTheSavedLevelAndIgnoresLevelsNeverSaved) {
  Canvas c;
  const int level = c.dc->SaveDC();
  c.dc->SetTextColor(kRed);
  c.dc->SetBkMode(TRANSPARENT);
  c.dc->SetWindowOrg(5, 5);
  for (int never : {0, level + 1}) {
    c.dc->RestoreDC(never);
    EXPECT_EQ(c.dc->GetTextColor(), kRed) << never;
  }
  c.dc->RestoreDC(level);
  EXPECT_EQ(c.dc->GetTextColor(), RGB(0, 0, 0));
  EXPECT_EQ(c.dc->GetBkMode(), OPAQUE);
  EXPECT_EQ(c.dc->GetWindowOrg(), QPoint(0, 0));
  c.Done();
}

TEST(GdiText, CalcRectMeasuresLinesAndMnemonicsWithoutDrawing) {
  Canvas c;
  auto measure = [&](const char* text, unsigned format, int width = 1000) {
    GdiRect r{0, 0, width, 0};
    c.dc->DrawText(text, r, format | DT_CALCRECT);
    return QSize(r.Width(), r.Height());
  };
  const QSize abc = measure("abc", DT_SINGLELINE);
  EXPECT_EQ(abc, c.dc->GetTextExtent("abc"));
  EXPECT_EQ(measure("abc\ndef", DT_WORDBREAK).height(), 2 * abc.height());
  EXPECT_EQ(measure("abc def ghi", DT_WORDBREAK, abc.width() + 2).height(), 3 * abc.height());
  EXPECT_EQ(measure("a&b", DT_SINGLELINE), measure("ab", DT_SINGLELINE));
  EXPECT_GT(measure("a&b", DT_SINGLELINE | DT_NOPREFIX).width(), measure("ab", DT_SINGLELINE).width());
  EXPECT_FALSE(InkIn(c.Done(), QRect(0, 0, 60, 40)));
}

TEST(GdiText, EndEllipsisKeepsTheLongestPrefixThatFits) {
  Canvas c;
  const int exact = c.dc->GetTextExtent("WW...").width();
  for (int width : {exact, exact - 1}) {
    GdiRect r{0, 0, width, 0};
    c.dc->DrawText("WWWWWWWW", r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_EQ(r.Width(), width == exact ? exact : c.dc->GetTextExtent("W...").width()) << width;
  }
  c.Done();
}

TEST(GdiText, EditControlDropsOnlyAPartlyVisibleLastLine) {
  const int line = Canvas().dc->GetTextMetrics().tmHeight;
  for (int height : {2 * line, 2 * line - 1}) {
    const QImage image = TextImage("W\nW", DT_WORDBREAK | DT_EDITCONTROL, height);
    EXPECT_EQ(InkIn(image, QRect(0, line, 80, height - line)), height == 2 * line) << height;
  }
}

TEST(GdiText, AmpersandUnderlinesTheNextLetterAndTwoShowOne) {
  EXPECT_NE(TextImage("a&bc", DT_SINGLELINE), TextImage("abc", DT_SINGLELINE));
  EXPECT_EQ(TextImage("a&&bc", DT_SINGLELINE), TextImage("a&bc", DT_SINGLELINE | DT_NOPREFIX));
}

TEST(GdiFont, FaceNamesMapToInstalledFontsAndFontsAreEqualOnlyWhenEveryFieldIs) {
  LogFont song;
  song.lfHeight = -15;
  const std::string face = Gbk(u8"宋体");
  std::copy(face.begin(), face.end(), song.lfFaceName);
  const QFont font = FontFromLogFont(song);
  EXPECT_EQ(font.family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(font.pixelSize(), 15);
  LogFont other = song;
  EXPECT_TRUE(other == song);
  other.lfClipPrecision = 2;
  EXPECT_FALSE(other == song);
  other = song;
  other.lfFaceName[0] = 'x';
  EXPECT_FALSE(other == song);
}

}  // namespace
