#pragma once
// SIGTERM, SIGINT and SIGHUP delivered as a call on the UI thread's event loop: the
// handler only writes a byte to a pipe that a socket notifier watches, since nothing
// else a handler could do is safe while the program may be anywhere.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kelvanor {

class QuitSignals : public QObject {
 public:
  // Takes over the three signals for as long as it lives, and leaves them ignored when it
  // goes; one at a time. When the pipe or a handler cannot be set up, the signals keep
  // their default action and end the program at once.
  explicit QuitSignals(std::function<void()> onSignal);
  ~QuitSignals() override;
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

 private:
  void Drain();

  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> onSignal_;
};

}  // namespace kelvanor
