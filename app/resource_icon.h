#pragma once
// Pictures compiled into the program (toolbar buttons, the application icon).
#include <QIcon>

namespace kelvanor {

// The icon of resources/<name>.xpm, with its @2x picture for doubled screens.
QIcon ResourceIcon(const char* name);

}  // namespace kelvanor
