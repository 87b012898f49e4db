#include "app/lock_keys.h"

#include <filesystem>
#include <fstream>

namespace kelvanor {
namespace {

const char* LedSuffix(LockKey key) {
  switch (key) {
    case LockKey::Caps: return "::capslock";
    case LockKey::Num: return "::numlock";
    case LockKey::Scroll: return "::scrolllock";
  }
  return "";
}

}  // namespace

std::optional<bool> LockKeyState(LockKey key, const std::string& ledsDir) {
  const std::string suffix = LedSuffix(key);
  std::error_code error;
  std::optional<bool> state;
  for (const auto& led : std::filesystem::directory_iterator(ledsDir, error)) {
    const std::string name = led.path().filename().string();
    if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    int brightness = 0;
    if (!(std::ifstream(led.path() / "brightness") >> brightness)) continue;
    // Several keyboards may be attached; the lock is on when any shows it.
    state = state.value_or(false) || brightness > 0;
  }
  return state;
}

}  // namespace kelvanor
