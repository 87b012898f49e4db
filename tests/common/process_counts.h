#pragma once
// What a long run must give back: the process's open descriptors and live threads.
#include <dirent.h>

namespace kelvanor::testing {

inline int EntriesOf(const char* dir) {
  int count = 0;
  if (DIR* d = opendir(dir)) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ++count;
    closedir(d);
  }
  return count;
}

// Not counting the descriptor that reads the directory.
inline int OpenDescriptors() { return EntriesOf("/proc/self/fd") - 1; }
inline int LiveThreads() { return EntriesOf("/proc/self/task"); }

}  // namespace kelvanor::testing
