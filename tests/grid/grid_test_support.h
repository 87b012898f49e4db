#pragma once
// Shared set-up of the grid tests: a pinned style, palette and font, a shown grid of a
// known size on the offscreen platform, and pixels read back from the rendered widget.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "grid/grid_ctrl.h"
#include "grid/measure_dc.h"
#include "platform/gbk.h"

namespace kelvanor::testing {

inline void PinLook() {
  static const bool pinned = [] {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont font("WenQuanYi Micro Hei");
    font.setPixelSize(12);
    QApplication::setFont(font);
    QApplication::setWheelScrollLines(3);
    return true;
  }();
  (void)pinned;
}

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override { PinLook(); }

  // A shown grid whose viewport (client area) is exactly width x height pixels.
  CGridCtrl& MakeGrid(int width = 400, int height = 300) {
    grid_ = std::make_unique<CGridCtrl>();
    grid_->setFrameStyle(QFrame::NoFrame);
    grid_->resize(width, height);
    grid_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
    return *grid_;
  }

  // The grid's window becomes the active one, so that keyboard focus moves for real.
  void Activate() {
    grid_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid_.get()));
    grid_->setFocus();
  }

  // Raw mouse events on the viewport, in its coordinates (points outside it included).
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* viewport = grid_->viewport();
    QMouseEvent event(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, buttons, modifiers);
    QApplication::sendEvent(viewport, &event);
  }
  void Press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
  }
  void Drag(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
  void Hover(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
  void Release(QPoint at) { Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
  void Click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Press(at, modifiers);
    Release(at);
  }
  void DoubleClick(QPoint at) {
    Click(at);
    Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Release(at);
  }
  // The centre of a cell of MakeFilledGrid's default 60 x 20 layout when not scrolled.
  static QPoint At(int row, int col) { return QPoint(60 * col + 30, 20 * row + 10); }
  // A key to whatever has the keyboard focus (the grid or its editor).
  static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  static void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); }

  // rows x cols with fixed rows/cols, every cell texted "r,c", all rows height h and
  // columns width w.
  CGridCtrl& MakeFilledGrid(int rows, int cols, int fixedRows, int fixedCols, int w = 60, int h = 20,
                            int width = 400, int height = 300) {
    CGridCtrl& grid = MakeGrid(width, height);
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(fixedRows);
    grid.SetFixedColumnCount(fixedCols);
    for (int c = 0; c < cols; ++c) grid.SetColumnWidth(c, w);
    for (int r = 0; r < rows; ++r) grid.SetRowHeight(r, h);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) grid.SetItemText(r, c, std::to_string(r) + "," + std::to_string(c));
    return grid;
  }

  // The viewport as painted now (through the grid's own paint handler).
  QImage Render() {
    QImage image = grid_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    return image;
  }

  static COLORREF PixelAt(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

  std::unique_ptr<CGridCtrl> grid_;
};

// A notification handler that records every notification and answers with a fixed value
// per code (0 unless set).
class NotifySpy : public GridNotifyHandler {
 public:
  int OnGridNotify(const GridNotify& notify) override {
    calls.push_back(notify);
    auto it = answers.find(notify.code);
    return it == answers.end() ? 0 : it->second;
  }
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const GridNotify& n : calls) codes.push_back(n.code);
    return codes;
  }
  std::vector<GridNotify> calls;
  std::map<int, int> answers;
};

// A 10 x 5 grid (or taller) of 60 x 20 cells with one fixed row and column, whose
// notifications go to spy_; active windows get the keyboard focus for real.
class SpiedGridTest : public GridTest {
 protected:
  CGridCtrl& Grid(int rows = 10, bool active = false) {
    CGridCtrl& grid = MakeFilledGrid(rows, 5, 1, 1);
    grid.SetNotifyHandler(&spy_);
    if (active) Activate();
    return grid;
  }
  NotifySpy spy_;
};

}  // namespace kelvanor::testing
