#include "platform/timer_table.h"

namespace kelvanor {

void TimerTable::Set(int id, int periodMs) { timers_[id].start(periodMs, owner_); }

void TimerTable::Kill(int id) { timers_.erase(id); }

int TimerTable::IdOf(int qtTimerId) const {
  for (const auto& [id, timer] : timers_)
    if (timer.timerId() == qtTimerId) return id;
  return -1;
}

bool TimerTable::IsActive(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second.isActive();
}

}  // namespace kelvanor
