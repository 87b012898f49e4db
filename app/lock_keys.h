#pragma once
// The keyboard's lock states for the status bar's CAP, NUM and SCRL indicators.
#include <optional>
#include <string>

namespace kelvanor {

enum class LockKey { Caps, Num, Scroll };

// Whether the lock is on, from the keyboard LEDs the kernel exposes under ledsDir;
// nothing when no keyboard there reports that LED.
std::optional<bool> LockKeyState(LockKey key, const std::string& ledsDir = "/sys/class/leds");

}  // namespace kelvanor
