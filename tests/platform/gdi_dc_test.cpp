// Text rules of the device context; the board's and the grid's tests check its pixels.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/gbk.h"
#include "platform/gdi_dc.h"

using namespace kelvanor;

namespace {

// What `use` leaves on a white image 60 pixels wide, through a GdiDC in a 12-pixel CJK
// font whose clip box is `clipBox` (the image when null).
QImage OnCanvas(int height, const std::function<void(GdiDC&)>& use, QRect clipBox = {}) {
  QImage image(60, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setClipRect(image.rect());
  GdiDC dc(&painter, clipBox.isNull() ? image.rect() : clipBox);
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setPixelSize(12);
  dc.SelectFont(font);
  use(dc);
  return image;
}

bool IsBlank(const QImage& image) { return image == OnCanvas(image.height(), [](GdiDC&) {}); }

// `text` drawn with `format` in a rectangle 60 pixels wide and `height` high. Uncut, it is
// drawn unclipped on a context whose clip box is huge, so that only the painter clips it
// and nothing of it is cut before it is laid out.
QImage Drawn(const std::string& text, unsigned format, int height = 40, bool uncut = false) {
  GdiRect r{0, 0, 60, height};
  return OnCanvas(height, [&](GdiDC& dc) { dc.DrawText(text, r, uncut ? format | DT_NOCLIP : format); },
                  uncut ? QRect(0, 0, 1 << 20, 1 << 20) : QRect());
}

TEST(GdiDC, RestoreDCGoesBackToTheSavedLevelAndIgnoresLevelsNeverSaved) {
  OnCanvas(1, [](GdiDC& dc) {
    const int level = dc.SaveDC();
    dc.SetTextColor(RGB(255, 0, 0));
    for (int never : {0, level + 1}) {
      dc.RestoreDC(never);
      EXPECT_EQ(dc.GetTextColor(), RGB(255, 0, 0)) << never;
    }
    dc.RestoreDC(level);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
  });
}

TEST(GdiText, CalcRectMeasuresLinesAndEllipsesWithoutDrawing) {
  EXPECT_TRUE(IsBlank(OnCanvas(40, [](GdiDC& dc) {
    const auto measure = [&](const std::string& text, unsigned format, int width = 1000) {
      GdiRect r{0, 0, width, 0};
      dc.DrawText(text, r, format | DT_CALCRECT);
      return QSize(r.Width(), r.Height());
    };
    const QSize abc = measure("abc", DT_SINGLELINE);
    EXPECT_EQ(abc, dc.GetTextExtent("abc"));
    EXPECT_EQ(measure("abc\ndef", DT_WORDBREAK).height(), 2 * abc.height());
    EXPECT_EQ(measure("abc def ghi", DT_WORDBREAK, abc.width() + 2).height(), 3 * abc.height());
    // An ellipsis keeps the longest prefix that fits, one that fits exactly included.
    const int exact = dc.GetTextExtent("WW...").width();
    EXPECT_EQ(measure("WWWWWWWW", DT_SINGLELINE | DT_END_ELLIPSIS, exact).width(), exact);
    EXPECT_EQ(measure("WWWWWWWW", DT_SINGLELINE | DT_END_ELLIPSIS, exact - 1), dc.GetTextExtent("W..."));
  })));
}

TEST(GdiText, EditControlDropsOnlyAPartlyVisibleLastLine) {
  int line = 0;
  OnCanvas(1, [&](GdiDC& dc) { line = dc.GetTextMetrics().tmHeight; });
  const unsigned format = DT_WORDBREAK | DT_EDITCONTROL;
  EXPECT_FALSE(IsBlank(Drawn("W\nW", format, 2 * line).copy(0, line, 60, line)));
  EXPECT_TRUE(IsBlank(Drawn("W\nW", format, 2 * line - 1).copy(0, line, 60, line - 1)));
}

TEST(GdiText, AmpersandUnderlinesTheNextLetterAndTwoShowOne) {
  EXPECT_NE(Drawn("a&bc", DT_SINGLELINE), Drawn("abc", DT_SINGLELINE));
  EXPECT_EQ(Drawn("a&&bc", DT_SINGLELINE), Drawn("a&bc", DT_SINGLELINE | DT_NOPREFIX));
}

std::string Paragraphs(const std::vector<std::string>& units, std::size_t repeats) {
  std::string text;
  for (const std::string& unit : units) {
    if (!text.empty()) text += '\n';
    for (std::size_t i = 0; i < repeats; ++i) text += unit;
  }
  return text;
}

// A megabyte text is cut before it is laid out, to what its rectangle can show; the
// pixels must be those of the whole text, here stood in for by its first thousand units
// per paragraph (far more than 60 pixels can show) laid out uncut.
TEST(GdiText, AHugeTextDrawsWhatItsWholeTextWouldShow) {
  const std::string wide = Gbk(u8"宽W"), narrow = "il|", words = "ab cd ";
  const std::tuple<const char*, unsigned, std::vector<std::string>, std::size_t> cases[] = {
      {"one line", DT_SINGLELINE | DT_NOPREFIX, {narrow}, 300000},
      {"one line, ellipsis", DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX, {wide + narrow}, 300000},
      {"a right-aligned line measured whole", DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX, {narrow + wide}, 1000},
      {"a centred line measured whole", DT_SINGLELINE | DT_CENTER | DT_NOPREFIX, {narrow}, 1000},
      {"mnemonic pairs showing one ampersand each", DT_SINGLELINE, {"&&"}, 300000},
      {"wrapped anywhere", DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX, {wide + narrow}, 300000},
      {"wrapped at words", DT_WORDBREAK | DT_NOPREFIX, {words}, 300000},
      {"paragraphs of single lines", DT_NOPREFIX, {narrow, "second", "third"}, 300000},
      {"paragraphs of one word wider than the line, then words", DT_WORDBREAK | DT_NOPREFIX, {"a", "b", words}, 300000},
  };
  for (const auto& [name, format, units, repeats] : cases) {
    SCOPED_TRACE(name);
    const QImage shown = Drawn(Paragraphs(units, repeats), format);
    EXPECT_FALSE(IsBlank(shown));
    EXPECT_EQ(shown, Drawn(Paragraphs(units, std::min<std::size_t>(repeats, 1000)), format, 40, true));
  }
}

TEST(GdiFont, FaceNamesMapToInstalledFontsAndFontsAreEqualOnlyWhenEveryFieldIs) {
  LogFont song;
  song.lfHeight = -15;
  const std::string face = Gbk(u8"宋体");
  std::copy(face.begin(), face.end(), song.lfFaceName);
  const QFont font = FontFromLogFont(song);
  EXPECT_EQ(font.family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(font.pixelSize(), 15);
  LogFont clip = song, named = song;
  clip.lfClipPrecision = 2;
  named.lfFaceName[0] = 'x';
  EXPECT_TRUE(LogFont(song) == song);
  EXPECT_FALSE(clip == song);
  EXPECT_FALSE(named == song);
}

}  // namespace
