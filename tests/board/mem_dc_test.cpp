#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "board/mem_dc.h"

using namespace kelvanor;

TEST(CMyMemDC, CopiesOnlyTheClipBoxToTheTargetWhenItEnds) {
  QImage target(100, 100, QImage::Format_RGB32);
  target.fill(Qt::blue);
  QPainter painter(&target);
  GdiDC dc(&painter, QRect(20, 30, 40, 10));
  {
    CMyMemDC mem(&dc);
    EXPECT_EQ(mem.Buffer().size(), QSize(40, 10));
    mem.FillSolidRect({0, 0, 100, 100}, RGB(255, 0, 0));  // drawn in the target's coordinates
    mem.FillSolidRect({20, 30, 21, 31}, RGB(0, 255, 0));
    EXPECT_EQ(target.pixelColor(20, 30), QColor(Qt::blue));  // nothing shows before the end
  }
  painter.end();
  EXPECT_EQ(target.pixelColor(20, 30), QColor(0, 255, 0));
  EXPECT_EQ(target.pixelColor(59, 39), QColor(255, 0, 0));
  EXPECT_EQ(target.pixelColor(60, 39), QColor(Qt::blue));
  EXPECT_EQ(target.pixelColor(19, 30), QColor(Qt::blue));
  EXPECT_EQ(target.pixelColor(20, 40), QColor(Qt::blue));
}

TEST(CMyMemDC, KeepsTheTargetsPixelRatioSoScaledWindowsStaySharp) {
  QImage target(200, 200, QImage::Format_RGB32);
  target.setDevicePixelRatio(2.0);
  target.fill(Qt::white);
  QPainter painter(&target);
  GdiDC dc(&painter, QRect(0, 0, 100, 100));
  {
    CMyMemDC mem(&dc);
    EXPECT_EQ(mem.Buffer().size(), QSize(200, 200));
    mem.FillSolidRect({10, 10, 11, 11}, RGB(255, 0, 0));
  }
  painter.end();
  EXPECT_EQ(target.pixelColor(20, 20), QColor(255, 0, 0));
  EXPECT_EQ(target.pixelColor(21, 21), QColor(255, 0, 0));
  EXPECT_EQ(target.pixelColor(22, 22), QColor(Qt::white));
}
