#include "platform/qt_stdio_terminal.h"

#include <QSocketNotifier>

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

// The modes to put back when the program dies of a crash while the terminal is raw; a handler
// can use nothing but this copy.
termios g_savedModes;
const int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void RestoreAndDie(int signal)
{
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedModes);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void OnCrashRestore(bool on)
{
    for (const int signal : kCrashSignals)
        std::signal(signal, on ? RestoreAndDie : SIG_DFL);
}

}  // namespace

QtStdioTerminal::~QtStdioTerminal()
{
    Stop();
}

bool QtStdioTerminal::InputIsTerminal() const
{
    return ::isatty(STDIN_FILENO) == 1;
}

void QtStdioTerminal::Notice(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void QtStdioTerminal::Start(std::function<void(const Bytes&)> onInput, std::function<void()> onEnd)
{
    m_onInput = std::move(onInput);
    m_signals = std::make_unique<QtSignalPipe>(EndingSignals(), [onEnd = std::move(onEnd)](int) { onEnd(); });
    if (InputIsTerminal() && ::tcgetattr(STDIN_FILENO, &g_savedModes) == 0) {
        termios raw = g_savedModes;
        ::cfmakeraw(&raw);
        OnCrashRestore(true);
        m_raw = ::tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    m_input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(m_input.get(), &QSocketNotifier::activated, m_input.get(), [this] { ReadInput(); });
}

void QtStdioTerminal::ReadInput()
{
    unsigned char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        // The end of the input ends only the sending; the chip's output goes on.
        m_input->setEnabled(false);
        return;
    }
    if (m_onInput)
        m_onInput(Bytes(buffer, buffer + n));
}

void QtStdioTerminal::WriteOutput(const Bytes& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd out{STDOUT_FILENO, POLLOUT, 0};
            ::poll(&out, 1, -1);
        } else if (n < 0 && errno != EINTR) {
            return;  // nobody reads the output any more; the session goes on until it is ended
        }
    }
}

void QtStdioTerminal::Stop()
{
    m_input.reset();
    m_signals.reset();
    if (m_raw) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedModes);
        OnCrashRestore(false);
        m_raw = false;
    }
}
