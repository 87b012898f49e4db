#pragma once
// A single-line edit that takes only digits from the keyboard, like a Windows edit with
// the digits-only style. Pasted or programmatic text is not filtered, so whoever reads
// the box still checks it.
#include <QLineEdit>

namespace kelvanor {

class CNumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kelvanor
