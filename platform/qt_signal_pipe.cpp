#include "platform/qt_signal_pipe.h"

#include <QSocketNotifier>

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
    [[maybe_unused]] const ssize_t ignored = ::write(g_pipe.load(), &number, 1);
    errno = saved;
}

}  // namespace

QtSignalPipe::QtSignalPipe(const std::vector<int>& caught, std::function<void(int)> onSignal)
    : m_onSignal(std::move(onSignal))
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { TakeSignals(); });
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

QtSignalPipe::~QtSignalPipe()
{
    for (const auto& [signal, previous] : m_previous)
        ::sigaction(signal, &previous, nullptr);
    if (m_pipe[0] < 0)
        return;
    g_pipe.store(m_previousPipe);
    m_notifier.reset();
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void QtSignalPipe::TakeSignals()
{
    unsigned char number = 0;
    while (::read(m_pipe[0], &number, 1) == 1) {
        if (m_onSignal)
            m_onSignal(number);
    }
}
