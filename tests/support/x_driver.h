// Drives windows of the test process from outside, as a player would: xdotool for the
// mouse and keyboard, a window-manager style close request for the close box.
#pragma once

#include <sys/types.h>

#include <string>

// Runs a shell script in its own process group; returns its process id (or -1).
pid_t StartDriver(const std::string& script);
// Ends a driver started above with everything it started; returns its exit status
// (-1 when it had to be killed).
int StopDriver(pid_t pid, bool waitForIt);
// Starts a process that waits (up to timeoutMs) for a mapped window titled title and, when
// afterFile is not empty, for that file to exist (a driver script's signal that it is
// done), then asks the window to close as the close box does (WM_DELETE_WINDOW).
pid_t StartCloser(const std::string& title, int timeoutMs, const std::string& afterFile = "");
// A title no other test's window has.
std::string UniqueTitle(const char* base);
