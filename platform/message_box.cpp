#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/gbk.h"

namespace kelvanor {
namespace {
MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   MessageIcon icon) {
  if (Hook()) return Hook()(MessageBoxCall{owner, text, caption, icon});
  QString title = caption.empty() ? QApplication::applicationDisplayName() : GbkToQString(caption);
  QMessageBox box(ToQt(icon), title, GbkToQString(text), QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return kIdOk;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

}  // namespace kelvanor
