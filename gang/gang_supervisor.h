// The gang's one loop: a process per board, all at once, followed with poll() on their pipes and
// the stop signals until every one has ended. No board's failure, hang or crash holds up another.
#pragma once

#include <vector>

#include "gang/board.h"
#include "gang/board_launch.h"

// What the gang shows and records; called from the loop, never from a signal handler.
class BoardEvents {
public:
    virtual ~BoardEvents() = default;
    // It found a chip or none, changed its phase or its progress.
    virtual void Changed(const Board& board) = 0;
    // It has its result, or ended without one (then its state says how).
    virtual void Finished(const Board& board) = 0;
    // Called after every wake-up; gives how long the loop may sleep before the next call.
    virtual GangClock::duration Tick() = 0;
};

// Runs body for each board in a process of its own and follows them all to their end. Gives the
// number of the stop signal (SIGINT, SIGTERM, SIGHUP) that cut the run short, else 0.
int RunGang(std::vector<Board>& boards, const BoardBody& body, BoardEvents& events);
