// Ctrl+C and the request to end, taken as a request to stop a batch cleanly: the files done
// are reported, and the exit status tells which signal it was.
#pragma once

namespace quobrel::cli {

// From now on the first SIGINT or SIGTERM is noted, not fatal; a second one of either ends
// the program as it would have. A signal ignored when the program started stays ignored.
void CatchStopSignals();

// The signal that asked to stop, or 0.
int StopSignal();

// The exit status of a program a signal stopped: 128 and its number.
inline int ExitStatusOf(int signal) { return 128 + signal; }

}  // namespace quobrel::cli
