#pragma once
// The status bar's idle message "就绪" and its CAP, NUM and SCRL panes, which show
// their text while the lock is on and stay blank while it is off. A trouble that lasts
// is shown in place of "就绪", where a menu's prompts do not wipe it.
#include <QLabel>
#include <QObject>
#include <QStatusBar>
#include <QTimer>
#include <array>

#include "app/lock_keys.h"

namespace kelvanor {

class StatusIndicators : public QObject {
  Q_OBJECT
 public:
  explicit StatusIndicators(QStatusBar* bar);

  QString Text(LockKey key) const;
  // Shows `text` in place of "就绪"; an empty text brings "就绪" back.
  void SetNotice(const QString& text);
  // Reads the lock states again; called on key presses and now and then.
  void Update();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Pane {
    LockKey key;
    QString text;
    QLabel* label;
  };
  QLabel* idle_;
  std::array<Pane, 3> panes_;
  QTimer poll_;
};

}  // namespace kelvanor
