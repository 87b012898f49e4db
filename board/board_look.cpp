#include "board/board_look.h"

#include <algorithm>
#include <cmath>

#include "platform/gbk.h"
#include "platform/gdi_dc.h"

namespace kelvanor {
namespace {

LogFont BoardLogFont(const std::string& faceGbk) {
  LogFont lf;
  lf.lfHeight = FontHeightForPoints(11, ScreenLogPixelsY());
  lf.lfWeight = 400;
  lf.lfCharSet = 1;
  lf.lfOutPrecision = 4;
  lf.lfClipPrecision = 32;
  lf.lfQuality = 2;
  lf.lfPitchAndFamily = 4;
  std::copy_n(faceGbk.begin(), std::min(faceGbk.size(), sizeof lf.lfFaceName - 1), lf.lfFaceName);
  return lf;
}

}  // namespace

int FontHeightForPoints(int points, int pixelsPerInchY) {
  return -static_cast<int>(std::lround(points * static_cast<double>(pixelsPerInchY) / 72.0));
}

BoardLook MakeBoardLook() {
  BoardLook look;
  look.labelFont = FontFromLogFont(BoardLogFont(Gbk(u8"宋体")));
  look.addressFont = FontFromLogFont(BoardLogFont("System"));
  return look;
}

}  // namespace kelvanor
