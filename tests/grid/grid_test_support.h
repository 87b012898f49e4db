#pragma once
// Shared set-up of the grid tests: a pinned look, a shown grid of a known size on the
// offscreen platform whose notifications are recorded, raw input, and pixels read back.
#include <QApplication>
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
#include "grid/in_place_edit.h"
#include "platform/gbk.h"

namespace kelvanor::testing {

// Records every notification and answers with a fixed value per code (0 unless set).
struct NotifySpy : GridNotifyHandler {
  int OnGridNotify(const GridNotify& notify) override {
    calls.push_back(notify);
    return answers[notify.code];
  }
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const GridNotify& n : calls) codes.push_back(n.code);
    return codes;
  }
  std::vector<GridNotify> calls;
  std::map<int, int> answers;
};

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont font("WenQuanYi Micro Hei");
    font.setPixelSize(12);
    QApplication::setFont(font);
  }

  // A shown grid whose viewport (client area) is 400 x 300 pixels while it has no bars.
  CGridCtrl& MakeGrid() {
    grid_ = std::make_unique<CGridCtrl>();
    grid_->setFrameStyle(QFrame::NoFrame);
    grid_->resize(400, 300);
    grid_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
    grid_->SetNotifyHandler(&spy_);
    return *grid_;
  }
  // rows x cols cells of 60 x 20 pixels, each texted "r,c".
  CGridCtrl& MakeFilledGrid(int rows, int cols, int fixedRows, int fixedCols) {
    CGridCtrl& grid = MakeGrid();
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(fixedRows);
    grid.SetFixedColumnCount(fixedCols);
    for (int c = 0; c < cols; ++c) grid.SetColumnWidth(c, 60);
    for (int r = 0; r < rows; ++r) {
      grid.SetRowHeight(r, 20);
      for (int c = 0; c < cols; ++c) grid.SetItemText(r, c, std::to_string(r) + "," + std::to_string(c));
    }
    return grid;
  }
  // 10 (or more) rows and 5 columns, one of each fixed; an active grid has the keyboard focus.
  CGridCtrl& Grid(int rows = 10, bool active = false) {
    MakeFilledGrid(rows, 5, 1, 1);
    if (active) Activate();
    return *grid_;
  }
  void Activate() {
    grid_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(grid_.get()));
    grid_->setFocus();
  }
  void AddState(int r, int c, std::uint32_t bits) { grid_->SetItemState(r, c, grid_->GetItemState(r, c) | bits); }

  // Raw mouse events at a point of the viewport (points outside it included), sent to the
  // viewport or to a window over it.
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = {},
             QWidget* target = nullptr) {
    if (!target) target = grid_->viewport();
    const QPoint global = grid_->viewport()->mapToGlobal(at);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, keys);
    QApplication::sendEvent(target, &event);
  }
  void Press(QPoint at, Qt::KeyboardModifiers keys = {}) { Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, keys); }
  void Release(QPoint at) { Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton); }
  void Drag(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::LeftButton); }
  void Hover(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::NoButton); }
  void Click(QPoint at, Qt::KeyboardModifiers keys = {}) {
    Press(at, keys);
    Release(at);
  }
  // The centre of a cell of the 60 x 20 layout when not scrolled.
  static QPoint At(int row, int col) { return QPoint(60 * col + 30, 20 * row + 10); }
  // Keys go to whatever has the keyboard focus: the grid or its editor.
  static void Key(Qt::Key key, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), key, m); }
  static void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); }
  // The in-place editor when it has the keyboard focus, else null.
  static CInPlaceEdit* Editor() { return qobject_cast<CInPlaceEdit*>(QApplication::focusWidget()); }

  // The viewport as its own paint handler paints it now.
  QImage Render() { return grid_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  static COLORREF PixelAt(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

  NotifySpy spy_;  // declared first: it outlives the grid that notifies it
  std::unique_ptr<CGridCtrl> grid_;
};

}  // namespace kelvanor::testing
