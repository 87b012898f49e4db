#pragma once
// The shell's commands with their Windows identifiers, and the texts each shows: a
// status-bar prompt and a tooltip.
#include <string>

namespace kelvanor {

enum CommandId : int {
  ID_SETTING = 32772,
  ID_REFRESH = 32777,
  ID_SILENCE = 32781,
  ID_OPTIONS = 32782,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
};

struct CommandText {
  std::string prompt;  // GBK
  std::string tip;     // GBK
};

// The prompt and tooltip of a command; empty texts for an unknown one.
CommandText CommandTextOf(int id);

}  // namespace kelvanor
