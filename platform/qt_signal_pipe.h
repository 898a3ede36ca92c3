// Signals as calls on the event loop's thread: a socket notifier watches a signal pipe, so
// whatever a signal leads to happens between two events.
#pragma once

#include <QSocketNotifier>

#include <functional>

#include "platform/signal_pipe.h"

class QtSignalPipe {
public:
    QtSignalPipe(const std::vector<int>& caught, std::function<void(int signal)> onSignal);

private:
    SignalPipe m_pipe;
    QSocketNotifier m_notifier;
};
