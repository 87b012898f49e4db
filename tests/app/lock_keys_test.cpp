#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "app/lock_keys.h"

namespace kelvanor::test {
namespace {

void Led(const std::filesystem::path& dir, const std::string& name, int brightness) {
  std::filesystem::create_directories(dir / name);
  std::ofstream(dir / name / "brightness") << brightness << "\n";
}

TEST(LockKeys, StateComesFromTheKeyboardLeds) {
  QTemporaryDir temp;
  const std::filesystem::path leds = temp.path().toStdString();
  Led(leds, "input3::capslock", 0);
  Led(leds, "input7::capslock", 1);
  Led(leds, "input3::numlock", 0);
  Led(leds, "input3::scrolllockx", 1);
  EXPECT_EQ(LockKeyState(LockKey::Caps, leds), true);
  EXPECT_EQ(LockKeyState(LockKey::Num, leds), false);
  EXPECT_EQ(LockKeyState(LockKey::Scroll, leds), std::nullopt);
  EXPECT_EQ(LockKeyState(LockKey::Caps, (leds / "missing").string()), std::nullopt);
}

}  // namespace
}  // namespace kelvanor::test
