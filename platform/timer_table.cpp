#include "platform/timer_table.h"

namespace kelvanor {

void TimerTable::Set(int id, int periodMs) {
  Timer& t = timers_[id];
  t.timer.start(periodMs, owner_);
  t.periodMs = periodMs;
}

void TimerTable::Kill(int id) { timers_.erase(id); }

int TimerTable::IdOf(int qtTimerId) const {
  for (const auto& [id, t] : timers_)
    if (t.timer.timerId() == qtTimerId) return id;
  return -1;
}

bool TimerTable::IsActive(int id) const { return PeriodOf(id) >= 0; }

int TimerTable::PeriodOf(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second.timer.isActive() ? it->second.periodMs : -1;
}

}  // namespace kelvanor
