// Signals as bytes on a pipe, so the gang's poll() and a board's event loop take them in turn
// with their other events instead of being cut short in the middle of a call.
#pragma once

#include <csignal>
#include <initializer_list>

// The signals that stop a run; each ends it with 128 + its number.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Makes a fresh pipe (closing this process's earlier one, which a forked child inherits) and has
// each of numbers write its number into it. Returns the read end (non-blocking), or -1.
int RouteSignalsToPipe(std::initializer_list<int> numbers);
// The next signal number waiting on the pipe; 0 when there is none.
int TakeSignal(int readEnd);
// Blocks or unblocks the stop signals and SIGCHLD: held across a fork, they cannot reach a child
// before it has its own handlers, nor the parent's pipe through the child.
void HoldSignals(bool hold);
