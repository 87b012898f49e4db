#include "platform/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace kelvanor {
namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Both lock-free, so the handler may use them. A handler may run on any thread, so the
// write end is closed only once no handler still holds it.
std::atomic<int> writeEnd{-1};
std::atomic<int> handlersWriting{0};

void OnSignal(int) {
  const int saved = errno;
  handlersWriting.fetch_add(1);
  const char byte = 1;
  // A full pipe already holds a request: the byte may be dropped.
  [[maybe_unused]] const ssize_t written = write(writeEnd.load(), &byte, 1);
  handlersWriting.fetch_sub(1);
  errno = saved;
}

void SetHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kQuitSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (writeEnd.load() >= 0 || pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  writeEnd.store(pipe_[1]);
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Drain);
  SetHandler(&OnSignal);
}

QuitSignals::~QuitSignals() {
  if (!notifier_) return;
  // The program is ending: a signal now, one of a burst say, must not cut that short.
  SetHandler(SIG_IGN);
  writeEnd.store(-1);
  while (handlersWriting.load() != 0) continue;
  delete notifier_;  // before its descriptor goes
  close(pipe_[0]);
  close(pipe_[1]);
}

void QuitSignals::Drain() {
  char bytes[64];
  while (read(pipe_[0], bytes, sizeof bytes) > 0) continue;
  onSignal_();
}

}  // namespace kelvanor
