#pragma once
// kelvanor --check: probes the endpoints of a settings file without a display and answers
// as a monitoring plugin does: one status line with performance data, then a line per
// endpoint down, and the exit code 0 OK, 1 WARNING, 2 CRITICAL or 3 UNKNOWN.
namespace kelvanor {

int RunCheck(int argc, char** argv);

}  // namespace kelvanor
