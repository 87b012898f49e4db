#pragma once
// A probe cycle holds one socket per endpoint, so the program asks for all the open
// files the system allows it.
namespace kelvanor {

// Raises the soft open-file limit to the hard limit and grows the descriptor table to it
// at once (to a million descriptors at most): growing it later, while threads run,
// stalls the kernel for milliseconds at each doubling. Call it before any thread starts.
// Returns the limit now in force, -1 when unlimited.
long RaiseOpenFileLimit();

}  // namespace kelvanor
