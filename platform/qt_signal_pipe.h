// Signals as calls on the event loop's thread: the handler only writes the signal's number into
// a pipe that a socket notifier watches, so whatever a signal leads to happens between two
// events, never inside a write or a wait. The handlers in place before come back on destruction.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <signal.h>

class QSocketNotifier;

class QtSignalPipe {
public:
    QtSignalPipe(const std::vector<int>& caught, std::function<void(int signal)> onSignal);
    ~QtSignalPipe();
    QtSignalPipe(const QtSignalPipe&) = delete;
    QtSignalPipe& operator=(const QtSignalPipe&) = delete;

private:
    void TakeSignals();

    std::function<void(int)> m_onSignal;
    int m_pipe[2] = {-1, -1};
    int m_previousPipe = -1;
    std::vector<std::pair<int, struct sigaction>> m_previous;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// The signals that end a run as a user or the desktop asks: Ctrl-C, kill, logout.
inline std::vector<int> EndingSignals()
{
    return {SIGINT, SIGTERM, SIGHUP};
}
