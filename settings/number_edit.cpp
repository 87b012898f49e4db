#include "settings/number_edit.h"

#include <QApplication>
#include <QKeyEvent>

namespace kelvanor {

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool typesCharacter = !text.isEmpty() && text.at(0).isPrint() &&
                              !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (typesCharacter && !text.at(0).isDigit()) {
    QApplication::beep();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace kelvanor
