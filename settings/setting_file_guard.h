#pragma once
// A setting.xml that is there but did not load holds the operator's endpoints all the
// same: the program says so at start-up and never saves over it unasked.
#include <string>

#include "monitor/endpoint_list.h"

class QWidget;

namespace kelvanor {

// Names the file and what LoadSettingFile found wrong with it (GBK).
void ReportUnloadedSettingFile(const std::string& problem, QWidget* owner);

// True when the record may be saved to setting.xml: the file loaded or was missing, or
// it did not load and the operator, asked, chose to replace it (not asked again after
// that). False keeps the file as it is.
bool MayReplaceSettingFile(SettingData& setting, QWidget* owner);

}  // namespace kelvanor
