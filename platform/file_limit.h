#pragma once
// A probe cycle holds one socket per endpoint, so the program asks for all the open
// files the system allows it.
namespace kelvanor {

// Raises the soft open-file limit to the hard limit; returns the limit now in force.
long RaiseOpenFileLimit();

}  // namespace kelvanor
