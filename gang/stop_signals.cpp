#include "gang/stop_signals.h"

#include "platform/signal_pipe.h"

void HoldSignals(bool hold)
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : EndingSignals())
        sigaddset(&set, number);
    sigaddset(&set, SIGCHLD);
    ::sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}
