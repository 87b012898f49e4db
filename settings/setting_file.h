#pragma once
// setting.xml in the current working directory: the endpoints, the refresh interval and
// the alarm sound, as GBK XML that the Windows program reads and writes too.
#include "monitor/endpoint_list.h"

namespace kelvanor {

// Appends the file's endpoints to setting.ipList and overwrites the other fields it
// holds. 0 when read; -1 (the record unchanged) when missing, unreadable, malformed
// (an element with over kMaxAttributesPerElement attributes counts as such) or without
// any element. The file is never changed.
int LoadSetting(SettingData& setting);

// Writes the whole record to setting.xml as ReplaceFileContents does (atomically, unless
// the directory takes no new files): 0 on success; -1 on any failure, a read-only file
// included, in which case the previous file is left whole.
int SaveSetting(const SettingData& setting);

}  // namespace kelvanor
