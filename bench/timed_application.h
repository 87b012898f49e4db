#pragma once
// An application that times every event the UI thread dispatches from its own loop, so
// a benchmark can report the longest stall the window would have seen.
#include <QApplication>
#include <algorithm>
#include <chrono>

namespace kelvanor {

// Times every event the UI thread dispatches from its own loop (not nested ones).
class TimedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* e) override {
    if (depth_++ > 0) {
      bool handled = QApplication::notify(receiver, e);
      --depth_;
      return handled;
    }
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    bool handled = QApplication::notify(receiver, e);
    longest = std::max(longest, std::chrono::steady_clock::now() - start);
    --depth_;
    return handled;
  }
  std::chrono::steady_clock::duration longest{};

 private:
  int depth_ = 0;
};

}  // namespace kelvanor
