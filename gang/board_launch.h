// Starts the process that serves one board, with a pipe back to the gang.
#pragma once

#include <functional>
#include <vector>

#include "gang/board.h"

// What the process runs: the job and the write end of its report pipe; gives its exit status.
using BoardBody = std::function<int(const BoardJob& job, int reportFd)>;

// Forks a process for board.job running body, filling board's pid, fd and times. The child
// first closes closeInChild (the gang's other pipes), so no board holds another's pipe open.
// False when no process could be made.
bool LaunchBoard(Board& board, const BoardBody& body, const std::vector<int>& closeInChild);
