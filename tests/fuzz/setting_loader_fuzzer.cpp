// Arbitrary bytes as setting.xml: the loader must never crash, and whatever it reads
// must survive a save and a second load unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "settings/setting_file.h"

namespace {

// Every field of a record, separated by a byte no attribute value can hold.
std::string Fields(const kelvanor::SettingData& s) {
  std::string text = std::to_string(s.refreshTime) + '\0' + std::to_string(s.soundType) + '\0' + s.soundFile;
  for (const kelvanor::IPInfo& e : s.ipList) text += '\0' + e.ip + '\0' + std::to_string(e.port) + '\0' + e.remark;
  return text;
}

}  // namespace

// Every run writes setting.xml, so the fuzzer works in a directory of its own; a
// memory-backed one keeps the save's fsync cheap.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static std::string dir;
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
  dir = std::string(base ? base : "/tmp") + "/kelvanor-fuzz-XXXXXX";
  if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0) std::abort();
  std::atexit([] {
    unlink((dir + "/setting.xml").c_str());
    rmdir(dir.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!std::ofstream("setting.xml", std::ios::binary).write(reinterpret_cast<const char*>(data), size)) std::abort();
  kelvanor::SettingData first, second;
  if (kelvanor::LoadSetting(first) != 0) return 0;
  if (kelvanor::SaveSetting(first) != 0) std::abort();
  if (kelvanor::LoadSetting(second) == 0 && Fields(second) == Fields(first) && second.options == first.options)
    return 0;
  std::fprintf(stderr, "the round trip changed the record\n");
  std::abort();
}
