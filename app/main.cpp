#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/check_mode.h"
#include "app/headless_mode.h"
#include "app/kelvanor_app.h"
#include "platform/alarm_audio.h"
#include "platform/file_limit.h"

namespace {

bool Asks(int argc, char** argv, const char* option) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], option) == 0) return true;
  return false;
}

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
  if (Asks(argc, argv, "--check")) return kelvanor::RunCheck(argc, argv);
  if (Asks(argc, argv, "--headless")) return kelvanor::RunHeadless(argc, argv);
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
