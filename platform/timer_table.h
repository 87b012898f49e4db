#pragma once
// Windows-style timers of one QObject: numbered by the caller, repeating, delivered on
// the owner's thread. Setting an id that runs already restarts it with the new period.
#include <QBasicTimer>
#include <map>

class QObject;

namespace kelvanor {

class TimerTable {
 public:
  explicit TimerTable(QObject* owner) : owner_(owner) {}

  void Set(int id, int periodMs);
  void Kill(int id);
  // The caller's id of a Qt timer event's timer, or -1 when it is not one of these.
  int IdOf(int qtTimerId) const;
  bool IsActive(int id) const;
  // The period the timer runs with, or -1 when it does not run.
  int PeriodOf(int id) const;

 private:
  struct Timer {
    QBasicTimer timer;
    int periodMs = 0;
  };
  QObject* owner_;
  std::map<int, Timer> timers_;
};

}  // namespace kelvanor
