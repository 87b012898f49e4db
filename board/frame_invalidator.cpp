#include "board/frame_invalidator.h"

#include <QWidget>

namespace kelvanor {

FrameInvalidator::FrameInvalidator(QWidget* widget) : QObject(widget), widget_(widget) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kFrame);
  connect(&timer_, &QTimer::timeout, this, &FrameInvalidator::Flush);
}

void FrameInvalidator::Add(const QRect& rect) {
  const QRect shown = rect.intersected(widget_->rect());
  if (shown.isEmpty()) return;
  pending_ += shown;
  Schedule();
}

void FrameInvalidator::AddAll() {
  pending_ = QRegion();
  widget_->update();
}

void FrameInvalidator::Schedule() {
  if (!timer_.isActive()) timer_.start();
}

void FrameInvalidator::Flush() {
  emit Frame();
  if (pending_.isEmpty()) return;
  widget_->update(pending_);
  pending_ = QRegion();
}

}  // namespace kelvanor
