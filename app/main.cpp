#include <QApplication>

#include "app/kelvanor_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  kelvanor::CKelvanorApp app;
  if (!app.InitInstance()) return 1;
  return app.QuitRequested() ? 0 : application.exec();
}
