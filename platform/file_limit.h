#pragma once
// A probe cycle holds one socket per endpoint, so the program asks for all the open
// files the system allows it, and keeps its probes within what that allows.
#include <cstddef>

namespace kelvanor {

// Descriptors the program keeps for itself, whatever its probes hold: the X connection,
// Qt's and SDL's own (event fds, pipes, the sound server), a lookup's extra sockets when
// it tries further name servers, the event log, a file dialog's directory and watcher,
// a wave file being loaded. On X about 15 are open at rest: the reserve leaves room many
// times over for those that come and go.
inline constexpr std::size_t kReservedDescriptors = 128;

// Raises the soft open-file limit to the hard limit and grows the descriptor table to it
// at once (to a million descriptors at most): growing it later, while threads run,
// stalls the kernel for milliseconds at each doubling. Call it before any thread starts.
// Returns the limit now in force, -1 when unlimited.
long RaiseOpenFileLimit();

// How many descriptors probes may hold at once under the open-file limit now in force:
// all but the reserve, and never less than half the limit (a limit too small for the
// reserve is one the program barely runs under anyway).
std::size_t ProbeDescriptorWindow();

}  // namespace kelvanor
