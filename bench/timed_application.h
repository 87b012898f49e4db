#pragma once
// An application that times every event the UI thread dispatches from its own loop, by
// wall clock and, when asked, by the UI thread's CPU time, and counts the paint events one
// widget receives with the area they cover, so a benchmark can report the longest stall
// the window would have seen and how much of it was repainted.
#include <QApplication>
#include <QPaintEvent>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <functional>

#include "bench/clocks.h"

namespace kelvanor {

class TimedApplication : public QApplication {
 public:
  using QApplication::QApplication;

  // What the UI thread did since the last Reset().
  struct Tally {
    std::chrono::nanoseconds longestWall{};
    std::chrono::nanoseconds longestCpu{};  // the UI thread's CPU, the event taking most
    int paints = 0;                         // paint events the watched widget received
    long long paintedPixels = 0;            // the area of their regions
  };

  void Reset() { tally_ = {}; }
  const Tally& tally() const { return tally_; }
  void Watch(const QWidget* widget) { watched_ = widget; }
  // Reading a thread's CPU clock is a system call of microseconds on this machine: at
  // thousands of events a cycle that is several percent of the program's own CPU, so it
  // is off where the program's CPU is measured.
  void TimeThreadCpu(bool on) { timeThreadCpu_ = on; }
  // Runs after each event of the UI thread's outer loop, outside the timing.
  std::function<void()> afterEvent;

  bool notify(QObject* receiver, QEvent* e) override {
    if (QThread::currentThread() != thread()) return QApplication::notify(receiver, e);
    if (receiver == watched_ && e->type() == QEvent::Paint) Count(static_cast<QPaintEvent*>(e)->region());
    if (depth_++ > 0) {
      bool handled = QApplication::notify(receiver, e);
      --depth_;
      return handled;
    }
    const auto wall = std::chrono::steady_clock::now();
    const auto cpu = timeThreadCpu_ ? bench::CpuTime(CLOCK_THREAD_CPUTIME_ID) : std::chrono::nanoseconds{};
    bool handled = QApplication::notify(receiver, e);
    if (timeThreadCpu_) tally_.longestCpu = std::max(tally_.longestCpu, bench::CpuTime(CLOCK_THREAD_CPUTIME_ID) - cpu);
    tally_.longestWall = std::max(tally_.longestWall, std::chrono::steady_clock::now() - wall);
    --depth_;
    if (afterEvent) afterEvent();
    return handled;
  }

 private:
  void Count(const QRegion& region) {
    ++tally_.paints;
    for (const QRect& r : region) tally_.paintedPixels += static_cast<long long>(r.width()) * r.height();
  }

  Tally tally_;
  const QWidget* watched_ = nullptr;
  bool timeThreadCpu_ = false;
  int depth_ = 0;
};

}  // namespace kelvanor
