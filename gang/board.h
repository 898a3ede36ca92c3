// A board as the gang follows it: its job, its process and pipe, what it said last, how it ended.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

#include "gang/board_job.h"

using GangClock = std::chrono::steady_clock;

enum class BoardState {
    Searching,  // the search has not decided yet whether a chip is there
    Running,
    Loaded,
    Failed,
    Absent,     // the search found no chip: not a board
    Stopped,    // ended by a stop signal before it had a result
};

struct Board {
    BoardJob job;
    std::string device;  // the device the port map names, "" for none
    pid_t pid = -1;
    int fd = -1;         // read end of the report pipe; -1 once it has closed
    std::string unread;  // the start of a line not yet complete

    BoardState state = BoardState::Running;
    std::string phase;   // what it does before any progress
    int percent = -1;    // -1 until the image starts
    std::string message; // the loader's message, CR LF and all

    GangClock::time_point started;
    GangClock::time_point finished;
    GangClock::time_point lastHeard;  // a process silent too long is stuck beneath the loader
    GangClock::time_point killAt;     // when a process that should end is killed; max: not due
    int exitStatus = 0;    // as waitpid gives it, once reaped
    bool reaped = false;
    bool killed = false;
    bool silenced = false;  // killed for saying nothing too long
    bool settled = false;   // ended and told; nothing more happens to it

    bool HasResult() const { return state == BoardState::Loaded || state == BoardState::Failed; }
    bool IsBoard() const { return state != BoardState::Searching && state != BoardState::Absent; }
    double Seconds() const { return std::chrono::duration<double>(finished - started).count(); }
};
