#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Kelvanor");
  window.resize(850, 600);
  window.show();
  return app.exec();
}
