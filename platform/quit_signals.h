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
  // Takes over the three signals for as long as it lives; one at a time.
  explicit QuitSignals(std::function<void()> onSignal);
  ~QuitSignals() override;
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // False when the pipe or a handler could not be set up: the signals then keep their
  // default action and end the program at once.
  bool Installed() const { return notifier_ != nullptr; }

 private:
  void Drain();

  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> onSignal_;
};

}  // namespace kelvanor
