#pragma once
// The <Options> element of setting.xml: the choices that go beyond the alarm of every
// failure. Readers that predate it skip it, as they skip every element they do not know.
#include <tinyxml2.h>

#include "monitor/options.h"

namespace kelvanor {

// The options one <Options> element holds; the attributes it leaves out keep their
// defaults. failuresBeforeAlarm is clamped to 1..10, the nearest count the operator can
// have meant; the switches read like every number of the file ("%d"), nonzero being on,
// so a damaged value reads 0 and never switches on a sound or a file. Attributes of
// other names are kept in file order.
MonitorOptions ReadOptions(const tinyxml2::XMLElement& element);

// Appends <Options> to `root` when a choice differs from its default or the loaded file
// held the element, so a set-up that never used the options saves the same bytes as
// before. Only choices that differ from their defaults are written, then the kept
// attributes.
void AppendOptions(const MonitorOptions& options, tinyxml2::XMLElement& root);

}  // namespace kelvanor
