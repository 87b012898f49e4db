#pragma once
// setting.xml in the current working directory: the endpoints, the refresh interval and
// the alarm sound, as GBK XML that the Windows program reads and writes too.
#include "monitor/endpoint_list.h"

namespace kelvanor {

// Appends the file's endpoints to setting.ipList and overwrites the other fields it
// holds. 0 when read; -1 (the record unchanged) when missing, unreadable, malformed or
// without any element.
int LoadSetting(SettingData& setting);

// Replaces setting.xml with the whole record, atomically: 0 on success; -1 on any
// failure, in which case the previous file is left whole.
int SaveSetting(const SettingData& setting);

}  // namespace kelvanor
