#include "board/board_scroller.h"

#include <QApplication>
#include <QStyle>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

#include "board/status_board.h"

namespace kelvanor {
namespace {
// A wheel notch moves three steps: one row of tiles.
constexpr int kStep = 40;
}  // namespace

BoardScroller::BoardScroller(QWidget* board)
    : QObject(board), board_(board), bar_(new QScrollBar(Qt::Vertical, board)), clientRight_(board->width()) {
  bar_->setObjectName("boardScrollBar");
  bar_->setSingleStep(kStep);
  bar_->setFocusPolicy(Qt::NoFocus);  // the board keeps the keys
  bar_->hide();
  connect(bar_, &QScrollBar::valueChanged, this, &BoardScroller::Scrolled);
}

void BoardScroller::Relayout(std::size_t count) {
  // The first tile in view keeps its place: same row, same part of it cut off above.
  const std::size_t anchor = FirstVisibleTile();
  const int intoRow = Offset() - RowTop(anchor);
  const int width = board_->width(), height = board_->height();
  const bool scrolls = BoardHeight(count, width) > height;
  const int barWidth = bar_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar_);
  clientRight_ = scrolls ? std::max(0, width - barWidth) : width;
  const QSignalBlocker quiet(bar_);  // one repaint for the whole change, by the caller
  bar_->setVisible(scrolls);
  if (!scrolls) {
    bar_->setValue(0);
    return;
  }
  bar_->setGeometry(clientRight_, 0, width - clientRight_, height);
  bar_->setRange(0, BoardHeight(count, clientRight_) - height);
  bar_->setPageStep(height);
  bar_->setValue(RowTop(std::min(anchor, count - 1)) + intoRow);
}

int BoardScroller::RowTop(std::size_t index) const {
  return TileRect(index, clientRight_).top - TileRect(0, clientRight_).top;
}

std::size_t BoardScroller::FirstVisibleTile() const { return FirstTileShownFrom(Offset(), clientRight_); }

void BoardScroller::ScrollToTile(std::size_t index) { bar_->setValue(RowTop(index)); }

bool BoardScroller::HandleKey(int key) {
  QAbstractSlider::SliderAction action;
  switch (key) {
    case Qt::Key_Up: action = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Down: action = QAbstractSlider::SliderSingleStepAdd; break;
    case Qt::Key_PageUp: action = QAbstractSlider::SliderPageStepSub; break;
    case Qt::Key_PageDown: action = QAbstractSlider::SliderPageStepAdd; break;
    case Qt::Key_Home: action = QAbstractSlider::SliderToMinimum; break;
    case Qt::Key_End: action = QAbstractSlider::SliderToMaximum; break;
    default: return false;
  }
  bar_->triggerAction(action);
  return true;
}

void BoardScroller::HandleWheel(QWheelEvent* e) {
  if (!bar_->isHidden()) QApplication::sendEvent(bar_, e);
}

}  // namespace kelvanor
