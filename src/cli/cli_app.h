#pragma once
// tarvenix-cli: the panel commands, the learning tables and the receive
// monitor for scripts and batch work. It runs the window's own plans through
// the same runner, with the terminal in place of the message boxes.

#include "console.h"

namespace tarvenix::cli {

enum ExitStatus : int {
    exitOk = 0,
    exitFailed = 1,   // the reason is one line on standard error
    exitUsage = 2,    // the command line was wrong
    exitNoAnswer = 3, // read-info: no panel answered in time
};

// Parses the command line, runs the sub-command and returns the exit status.
// A QCoreApplication must exist: the serial port hands on received bytes
// through the event loop, which the pauses between frames keep running.
int runCli(int argc, const char* const* argv, Console& console);

} // namespace tarvenix::cli
