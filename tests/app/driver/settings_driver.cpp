// Loaded into the real program (LD_PRELOAD) by the program tests, to act as the operator
// there: once the main window is up it opens 文件 → 监控设置, types a digit into the
// interval and says "edited" on standard output. With KELVANOR_DRIVER_ESCAPE set it then
// presses Escape, which asks 放弃修改？, and says "asked" once that box is up.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

QAction* SettingsCommand() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* frame = qobject_cast<QMainWindow*>(window); frame && frame->isVisible())
      for (QAction* action : frame->findChildren<QAction*>())
        if (action->text() == QStringLiteral(u"监控设置(&S)...")) return action;
  return nullptr;
}

QLineEdit* IntervalBox(QWidget* dialog) {
  for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
    if (std::strcmp(edit->metaObject()->className(), "kelvanor::CNumberEdit") == 0) return edit;
  return nullptr;
}

// One step per turn of a polling timer. Commands that run a modal loop are posted, so the
// timer keeps turning inside that loop.
void Drive() {
  enum class Step { kOpen, kEdit, kAsk, kDone };
  static Step step = Step::kOpen;
  QWidget* modal = QApplication::activeModalWidget();
  switch (step) {
    case Step::kOpen:
      if (QAction* settings = SettingsCommand()) {
        QTimer::singleShot(0, settings, &QAction::trigger);
        step = Step::kEdit;
      }
      break;
    case Step::kEdit:
      if (QLineEdit* interval = modal ? IntervalBox(modal) : nullptr) {
        QTest::keyClick(interval, Qt::Key_7);
        Say("edited");
        step = Step::kDone;
        if (qEnvironmentVariableIsSet("KELVANOR_DRIVER_ESCAPE")) {
          QTimer::singleShot(0, modal, [modal] { QTest::keyClick(modal, Qt::Key_Escape); });
          step = Step::kAsk;
        }
      }
      break;
    case Step::kAsk:
      if (qobject_cast<QMessageBox*>(modal)) {
        Say("asked");
        step = Step::kDone;
      }
      break;
    case Step::kDone:
      break;
  }
}

// Runs while the application object is being made: the timer starts from its first event.
void Start() {
  QMetaObject::invokeMethod(qApp, [] {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, &Drive);
    timer->start(20);
  }, Qt::QueuedConnection);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
