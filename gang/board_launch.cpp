#include "gang/board_launch.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include "gang/stop_signals.h"

bool LaunchBoard(Board& board, const BoardBody& body, const std::vector<int>& closeInChild)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    HoldSignals(true);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        for (const int fd : closeInChild)
            ::close(fd);
        std::signal(SIGCHLD, SIG_DFL);
        // _exit: the parent's buffered output and exit handlers are the parent's alone.
        ::_exit(body(board.job, ends[1]));
    }
    HoldSignals(false);
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        return false;
    }
    board.pid = pid;
    board.fd = ends[0];
    board.started = board.lastHeard = GangClock::now();
    board.killAt = GangClock::time_point::max();
    return true;
}
