#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/check_mode.h"
#include "app/headless_mode.h"
#include "app/kelvanor_app.h"
#include "platform/alarm_audio.h"
#include "platform/file_limit.h"

namespace {

int Run(int& argc, char** argv) {
  QApplication application(argc, argv);
  kelvanor::CKelvanorApp app;
  if (!app.InitInstance()) return 1;
  return app.QuitRequested() ? 0 : application.exec();
}

}  // namespace

int main(int argc, char** argv) {
  // Before QApplication, which may start threads: the descriptor table grows once here.
  kelvanor::RaiseOpenFileLimit();
  if (kelvanor::AsksForCheck(argc, argv)) return kelvanor::RunCheck(argc, argv);
  if (kelvanor::AsksForHeadless(argc, argv)) return kelvanor::RunHeadless(argc, argv);
  const int code = Run(argc, argv);
  // exit would flush every open stream, the one a stuck sound device writes to as well,
  // and wait on it for ever: the program's own output is flushed and the process ends.
  if (kelvanor::AudioCloseUnfinished()) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
  }
  return code;
}
