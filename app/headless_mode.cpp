#include "app/headless_mode.h"

#include <QApplication>
#include <cstdio>

#include "app/kelvanor_app.h"
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "platform/quit_signals.h"
#include "settings/setting_file.h"

namespace kelvanor {

int RunHeadless(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");  // no display is needed, nor used if there is one
  QApplication application(argc, argv);
  if (StartSocketLibrary(0x0202) != 0) {
    std::fprintf(stderr, "kelvanor: the socket layer could not start\n");
    return 1;
  }
  // Nobody is there to answer: a question is answered no, so nothing is replaced.
  SetMessageBoxHook([](const MessageBoxCall& call) {
    std::fprintf(stderr, "kelvanor: %s\n", GbkToUtf8(call.text).c_str());
    return call.buttons == MessageButtons::YesNo ? kIdNo : kIdOk;
  });
  CKelvanorView view;
  const SettingLoad load = LoadSettingFile(view.Setting());
  if (load.result != 0) {
    std::fprintf(stderr, "kelvanor: %s: %s\n", kSettingFileName,
                 load.problem.empty() ? "no such file" : GbkToUtf8(load.problem).c_str());
    return 1;
  }
  view.Setting().soundType = 0;
  view.Setting().options.recoverySound = false;
  view.ApplyOptions();
  QuitSignals quitSignals([] { QCoreApplication::exit(0); });
  view.OnInitialUpdate();
  return application.exec();
}

}  // namespace kelvanor
