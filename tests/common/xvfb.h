#pragma once
// A private X server for checks that need a real window system: Xvfb on a display it
// picks itself, ended when this goes out of scope.
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>

#include "tests/common/loopback.h"

namespace kelvanor::testing {

class Xvfb {
 public:
  // extraArgs: e.g. {"-fbdir", dir} to keep the frame buffer in a file.
  explicit Xvfb(const QStringList& extraArgs = {}) {
    const QString path = QStandardPaths::findExecutable("Xvfb");
    if (path.isEmpty()) {
      problem_ = "the real-window check needs Xvfb (apt-get install xvfb)";
      return;
    }
    // Xvfb names the display on its output once it accepts clients.
    process_.start(path, QStringList{"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"} + extraArgs);
    if (!WaitFor([&] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; }, 20000) ||
        process_.state() != QProcess::Running) {
      problem_ = "Xvfb is installed but no display came up: the real-window check could not run";
      return;
    }
    display_ = ":" + QString::fromLatin1(process_.readLine()).trimmed();
  }

  ~Xvfb() {
    process_.kill();
    process_.waitForFinished();
  }
  Xvfb(const Xvfb&) = delete;

  bool IsUp() const { return !display_.isEmpty(); }
  // Why the display is not up.
  const char* Problem() const { return problem_; }
  // The environment of a Qt program drawing on this display.
  QProcessEnvironment Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
  }

 private:
  QProcess process_;
  QString display_;
  const char* problem_ = "";
};

}  // namespace kelvanor::testing
