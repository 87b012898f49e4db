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
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   MessageIcon icon, MessageButtons buttons) {
  if (Hook()) return Hook()(MessageBoxCall{owner, text, caption, icon, buttons});
  QString title = caption.empty() ? QApplication::applicationDisplayName() : GbkToQString(caption);
  const bool question = buttons == MessageButtons::YesNo;
  QMessageBox box(ToQt(icon), title, GbkToQString(text),
                  question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  if (question) {
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
  }
  const int pressed = box.exec();
  if (!question) return kIdOk;
  return pressed == QMessageBox::Yes ? kIdYes : kIdNo;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

}  // namespace kelvanor
