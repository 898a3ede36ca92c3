// Signals as bytes on a pipe: the handler only writes the signal's number, so whatever the signal
// leads to happens where the program waits (a poll, an event loop), never inside a write or a
// wait. The innermost pipe takes the signals; the handlers and pipe in place before come back on
// destruction.
#pragma once

#include <signal.h>

#include <utility>
#include <vector>

class SignalPipe {
public:
    explicit SignalPipe(const std::vector<int>& caught);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable when a signal is waiting; -1 when no pipe could be made.
    int ReadEnd() const { return m_pipe[0]; }
    // The next signal number waiting; 0 when there is none.
    int Take();

private:
    int m_pipe[2] = {-1, -1};
    int m_previousPipe = -1;
    std::vector<std::pair<int, struct sigaction>> m_previous;
};

// The signals that end a run as a user or the desktop asks: Ctrl-C, kill, logout.
inline std::vector<int> EndingSignals()
{
    return {SIGINT, SIGTERM, SIGHUP};
}
