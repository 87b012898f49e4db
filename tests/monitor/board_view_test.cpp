// The board at scale through the real view: scrolling, resizing, painting and what each
// outcome repaints.
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "board/status_board.h"
#include "tests/monitor/view_fixture.h"

using namespace kelvanor;
using namespace kelvanor::testing;

namespace {

constexpr QRgb kRed = 0xFF0000, kWhite = 0xFFFFFF;

class BoardView : public ViewTest {
 protected:
  void Show(QSize size) {
    view->resize(size);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  }
  QScrollBar* Bar() { return view->findChild<QScrollBar*>(); }
  int ClientRight() { return Bar()->isHidden() ? view->width() : Bar()->x(); }
  // Tile `index` where the view shows it now.
  QRect Shown(std::size_t index) {
    return TileRect(index, ClientRight()).ToQRect().adjusted(0, 0, 1, 1).translated(0, Bar()->isHidden() ? 0 : -Bar()->value());
  }
  QRgb Pixel(int x, int y) { return view->grab().toImage().pixel(x, y) & 0xFFFFFF; }
};

// 200 tiles at 850 x 600 need 50 rows of four: the width beside the scroll bar takes no
// fifth tile. The end shows the last row above the bottom margin.
TEST_F(BoardView, ScrollingReachesTheLastTileAndResizingKeepsTheFirstVisibleTileInView) {
  for (int i = 0; i < 200; ++i) {
    IPInfo& entry = Add("127.0.0.1", 1);
    entry.state = Failed;
    entry.lastOutcome = Failed;
  }
  Show({850, 600});
  ASSERT_FALSE(Bar()->isHidden());
  EXPECT_EQ(TilesPerRow(ClientRight()), 4);
  const int end = 50 * 120 + 11 - 600;
  const std::pair<int, int> moves[] = {{Qt::Key_Down, 40}, {Qt::Key_PageDown, 640}, {Qt::Key_Up, 600},
                                       {Qt::Key_PageUp, 0},  {0, 120} /* a wheel notch down */, {Qt::Key_End, end}};
  for (const auto& [key, value] : moves) {
    QWheelEvent notch({100, 100}, view->mapToGlobal(QPointF(100, 100)), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    if (key) QTest::keyClick(view.get(), Qt::Key(key));
    else QApplication::sendEvent(view.get(), &notch);
    EXPECT_EQ(Bar()->value(), value) << key;
  }
  const QRect last = Shown(199);
  EXPECT_EQ(last.bottom(), 589);
  EXPECT_EQ(last.left(), 610);
  EXPECT_EQ(Pixel(last.left() + 5, last.bottom() - 5), kRed);
  EXPECT_EQ(Pixel(last.left() + 5, last.bottom() + 5), kWhite);
  QTest::keyClick(view.get(), Qt::Key_Home);
  EXPECT_EQ(Bar()->value(), 0);
  EXPECT_EQ(Pixel(15, 15), kRed);
  Bar()->setValue(25 * 120 + 30);  // tile 100's row, 30 pixels of it scrolled off
  view->resize(1280, 600);         // six a row: tile 100 is in row 16
  EXPECT_EQ(Bar()->value(), 16 * 120 + 30);
  EXPECT_EQ(Shown(100).top(), -20);
  view->resize(1280, 4200);  // 34 rows of six fit
  EXPECT_TRUE(Bar()->isHidden());
}

// A board whose tiles fit looks exactly as it did when it was painted through an off-screen
// buffer the size of the window.
TEST_F(BoardView, FittingBoardPaintsTheSamePixelsAsTheBufferedBoard) {
  const char* results[] = {"x", "y", "z"};
  for (int i = 0; i < 15; ++i) {
    IPInfo& entry = Add("127.0.0." + std::to_string(i), 80 + i);
    entry.state = static_cast<ProbeState>(i % 3);
    entry.result = Gbk(u8"由于目标计算机积极拒绝") + results[i % 3];
    entry.remark = Gbk(u8"服务器 ") + std::to_string(i) + " with a remark long enough to wrap";
  }
  Show({850, 600});
  EXPECT_TRUE(Bar()->isHidden());
  // The board as its off-screen buffer held it: an RGB32 image the size of the window.
  QImage buffered(view->size(), QImage::Format_RGB32);
  {
    QPainter painter(&buffered);
    GdiDC buffer(&painter, buffered.rect());
    PaintBoard(buffer, {0, 0, 850, 600}, view->Setting().ipList.size(), TilesOf(view->Setting().ipList),
               MakeBoardLook());
  }
  EXPECT_EQ(view->grab().toImage().convertToFormat(QImage::Format_RGB32), buffered);
}

// Paint events the view receives while the test looks.
struct PaintLog : QObject {
  std::vector<QRegion> regions;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(e)->region());
    return false;
  }
};

// The cycle repaints the whole board once; after that an outcome repaints its tile only.
TEST_F(BoardView, AfterTheCycleStartAnOutcomeRepaintsOnlyItsTile) {
  for (int i = 0; i < 5; ++i) Add("127.0.0.1", 0);  // fail as they start
  Add("127.0.0.1", RefusedPort());
  Show({850, 600});
  QTest::qWait(50);
  PaintLog log;
  view->installEventFilter(&log);
  view->RefreshStatus();
  ASSERT_TRUE(WaitFor([&] { return Entry(5).state == Failed && log.regions.size() >= 2; }));
  QTest::qWait(50);
  EXPECT_EQ(log.regions.front(), QRegion(view->rect()));
  for (std::size_t i = 1; i < log.regions.size(); ++i)
    EXPECT_EQ(log.regions[i], QRegion(Shown(5))) << "paint " << i;
}

}  // namespace
