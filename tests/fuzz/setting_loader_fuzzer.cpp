// Arbitrary bytes as setting.xml: the loader must never crash, and whatever it reads
// must survive a save and a second load unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/setting_file.h"

namespace {

void Write(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen("setting.xml", "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  if (std::fclose(f) != 0) std::abort();
}

void Check(bool same, const char* what) {
  if (same) return;
  std::fprintf(stderr, "round trip changed %s\n", what);
  std::abort();
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
  Write(data, size);
  kelvanor::SettingData first;
  if (kelvanor::LoadSetting(first) != 0) return 0;
  if (kelvanor::SaveSetting(first) != 0) std::abort();
  kelvanor::SettingData second;
  Check(kelvanor::LoadSetting(second) == 0, "its result");
  Check(second.refreshTime == first.refreshTime, "refreshTime");
  Check(second.soundType == first.soundType, "soundType");
  Check(second.soundFile == first.soundFile, "soundFile");
  Check(second.options == first.options, "the options");
  Check(second.ipList.size() == first.ipList.size(), "the number of endpoints");
  for (std::size_t i = 0; i < first.ipList.size(); ++i) {
    Check(second.ipList[i].ip == first.ipList[i].ip, "an ip");
    Check(second.ipList[i].port == first.ipList[i].port, "a port");
    Check(second.ipList[i].remark == first.ipList[i].remark, "a remark");
  }
  return 0;
}
