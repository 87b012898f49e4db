#pragma once
// setting.xml in the current working directory: the endpoints, the refresh interval and
// the alarm sound, as GBK XML that the Windows program reads and writes too.
#include <string>

#include "monitor/endpoint_list.h"

namespace kelvanor {

inline constexpr const char* kSettingFileName = "setting.xml";

// Appends the file's endpoints to setting.ipList and overwrites the other fields it
// holds. 0 when read; -1 (the configured fields unchanged) when missing, unreadable, not
// a regular file, malformed (an element with over kMaxAttributesPerElement attributes
// counts as such) or without any element. setting.fileNotLoaded tells whether a file
// was there that did not load. The file is never changed.
int LoadSetting(SettingData& setting);

// LoadSetting's result, with what is wrong with a file that is there but did not load
// (GBK, short, for the operator); the problem is empty when it loaded or is missing. The
// check mode reads a file of any name.
struct SettingLoad {
  int result;
  std::string problem;
};
SettingLoad LoadSettingFile(SettingData& setting, const char* path = kSettingFileName);

// Writes the whole record to setting.xml as ReplaceFileContents does (atomically, unless
// the directory takes no new files): 0 on success; -1 on any failure, a read-only file
// included, in which case the previous file is left whole.
int SaveSetting(const SettingData& setting);

}  // namespace kelvanor
