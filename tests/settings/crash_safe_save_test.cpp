// A save killed at any moment leaves setting.xml as the old record or the new one,
// never a torn file: a child process saves in a loop and is killed at random points.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "settings/setting_file.h"
#include "tests/settings/setting_dir.h"
#include "tests/settings/setting_record.h"

namespace kelvanor::test {
namespace {

SettingData Record(int entries, const std::string& remark) {
  SettingData s;
  for (int i = 0; i < entries; ++i) s.ipList.emplace_back("127.0.0.1", i, remark + std::to_string(i));
  return s;
}

using CrashSafeSave = InSettingDir;

TEST_F(CrashSafeSave, KilledSaverLeavesTheOldOrTheNewRecord) {
  // Of different sizes, so that a torn file could not pass for either.
  const SettingData before = Record(100, "old remark ");
  const SettingData after = Record(400, "the new and longer remark ");
  ASSERT_EQ(SaveSetting(before), 0);
  std::mt19937 random(4);
  for (int attempt = 0; attempt < 150; ++attempt) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i)
        if (SaveSetting(i % 2 ? before : after) != 0) _exit(1);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver failed on its own";
    SettingData loaded;
    ASSERT_EQ(LoadSetting(loaded), 0) << "attempt " << attempt;
    const std::string found = Describe(loaded);
    ASSERT_TRUE(found == Describe(before) || found == Describe(after)) << "torn file at attempt " << attempt;
  }
}

}  // namespace
}  // namespace kelvanor::test
