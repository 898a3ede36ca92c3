#include "platform/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

// The write end of the innermost pipe; a handler can reach nothing else safely.
std::atomic<int> g_pipe{-1};

void WriteSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal nobody has read; losing this one changes nothing.
    [[maybe_unused]] const ssize_t ignored = ::write(g_pipe.load(), &number, 1);
    errno = saved;
}

}  // namespace

SignalPipe::SignalPipe(const std::vector<int>& caught)
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_previousPipe = g_pipe.exchange(m_pipe[1]);
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : caught) {
        struct sigaction previous {};
        if (::sigaction(signal, &action, &previous) == 0)
            m_previous.emplace_back(signal, previous);
    }
}

SignalPipe::~SignalPipe()
{
    for (const auto& [signal, previous] : m_previous)
        ::sigaction(signal, &previous, nullptr);
    if (m_pipe[0] < 0)
        return;
    g_pipe.store(m_previousPipe);
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

int SignalPipe::Take()
{
    unsigned char number = 0;
    return m_pipe[0] >= 0 && ::read(m_pipe[0], &number, 1) == 1 ? number : 0;
}
