#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QScreen>
#include <cmath>
#include <cstring>

#include "platform/gbk.h"
#include "platform/gdi_dc.h"

namespace kelvanor {
namespace {

QString FamilyFor(const char* faceGbk) {
  const std::string face(faceGbk, strnlen(faceGbk, sizeof(LogFont::lfFaceName)));
  if (face == Gbk(u8"宋体")) return QStringLiteral("WenQuanYi Micro Hei");
  if (face.empty() || face == "System" || face == "MS Shell Dlg" || face == "MS Shell Dlg 2")
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  return GbkToQString(face);
}

}  // namespace

bool LogFont::operator==(const LogFont& o) const {
  return lfHeight == o.lfHeight && lfWidth == o.lfWidth && lfEscapement == o.lfEscapement &&
         lfOrientation == o.lfOrientation && lfWeight == o.lfWeight && lfItalic == o.lfItalic &&
         lfUnderline == o.lfUnderline && lfStrikeOut == o.lfStrikeOut &&
         lfCharSet == o.lfCharSet && lfOutPrecision == o.lfOutPrecision &&
         lfClipPrecision == o.lfClipPrecision && lfQuality == o.lfQuality &&
         lfPitchAndFamily == o.lfPitchAndFamily &&
         strncmp(lfFaceName, o.lfFaceName, sizeof lfFaceName) == 0;
}

QFont FontFromLogFont(const LogFont& lf) {
  QFont font(FamilyFor(lf.lfFaceName));
  font.setStyleStrategy(QFont::NoSubpixelAntialias);
  const int requested = lf.lfHeight == 0 ? 16 : std::abs(lf.lfHeight);
  font.setPixelSize(requested);
  if (lf.lfHeight > 0) {
    // A positive height is the whole cell (ascent + descent): shrink the em to fit it.
    const int cell = QFontMetrics(font).height();
    if (cell > requested) font.setPixelSize(std::max(1, requested * requested / cell));
  }
  font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.lfWeight == 0 ? 400 : lf.lfWeight, 1, 1000)));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  return font;
}

int ScreenLogPixelsY() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

LogFont MessageLogFont() {
  const QFont font = QApplication::font();
  LogFont lf;
  const int pixels = font.pixelSize() > 0
                         ? font.pixelSize()
                         : static_cast<int>(std::lround(font.pointSizeF() * ScreenLogPixelsY() / 72.0));
  lf.lfHeight = -pixels;
  lf.lfWeight = font.weight();
  lf.lfItalic = font.italic() ? 1 : 0;
  const std::string face = QStringToGbk(font.family());
  std::strncpy(lf.lfFaceName, face.c_str(), sizeof lf.lfFaceName - 1);
  return lf;
}

}  // namespace kelvanor
