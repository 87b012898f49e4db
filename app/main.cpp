#include <QApplication>

#include "app/kelvanor_app.h"
#include "platform/file_limit.h"

int main(int argc, char** argv) {
  // Before QApplication, which may start threads: the descriptor table grows once here.
  kelvanor::RaiseOpenFileLimit();
  QApplication application(argc, argv);
  kelvanor::CKelvanorApp app;
  if (!app.InitInstance()) return 1;
  return app.QuitRequested() ? 0 : application.exec();
}
