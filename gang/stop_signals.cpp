#include "gang/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

int g_readEnd = -1;
volatile sig_atomic_t g_writeEnd = -1;

void WriteSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal nobody has read; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

int RouteSignalsToPipe(std::initializer_list<int> numbers)
{
    if (g_readEnd >= 0) {
        ::close(g_readEnd);
        ::close(g_writeEnd);
        g_readEnd = g_writeEnd = -1;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    g_readEnd = ends[0];
    g_writeEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    sigemptyset(&action.sa_mask);
    for (const int number : numbers)
        ::sigaction(number, &action, nullptr);
    return g_readEnd;
}

int TakeSignal(int readEnd)
{
    unsigned char byte = 0;
    return ::read(readEnd, &byte, 1) == 1 ? byte : 0;
}

void HoldSignals(bool hold)
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : kStopSignals)
        sigaddset(&set, number);
    sigaddset(&set, SIGCHLD);
    ::sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}
