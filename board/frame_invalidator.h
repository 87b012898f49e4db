#pragma once
// Collects what changed on a widget and asks Qt to repaint it at most once a frame, so
// thousands of outcomes a second cost one paint per 16 ms, each of only what changed.
#include <QObject>
#include <QRegion>
#include <QTimer>
#include <chrono>

class QWidget;

namespace kelvanor {

class FrameInvalidator : public QObject {
  Q_OBJECT
 public:
  static constexpr std::chrono::milliseconds kFrame{16};
  explicit FrameInvalidator(QWidget* widget);

  // The part of `rect` inside the widget is repainted at the next frame.
  void Add(const QRect& rect);
  // The whole widget is repainted at once; what was pending is part of it.
  void AddAll();
  // A frame is due even though nothing needs painting: Frame() is emitted then.
  void Schedule();

 signals:
  // Each frame, just before its repaint is asked for.
  void Frame();

 private:
  void Flush();

  QWidget* widget_;
  QRegion pending_;
  QTimer timer_;
};

}  // namespace kelvanor
