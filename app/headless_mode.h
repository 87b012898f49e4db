#pragma once
// kelvanor --headless: the monitor without a window, for a server or a systemd user unit.
// It probes the settings file's endpoints every interval with the metrics server and the
// event log as the options set them, sounds nothing, writes what a box would have said to
// stderr, and ends on SIGTERM, SIGINT or SIGHUP.
namespace kelvanor {

int RunHeadless(int argc, char** argv);

}  // namespace kelvanor
