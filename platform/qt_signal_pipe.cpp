#include "platform/qt_signal_pipe.h"

QtSignalPipe::QtSignalPipe(const std::vector<int>& caught, std::function<void(int)> onSignal)
    : m_pipe(caught), m_notifier(m_pipe.ReadEnd(), QSocketNotifier::Read)
{
    QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier, [this, onSignal = std::move(onSignal)] {
        for (int signal; (signal = m_pipe.Take()) != 0;)
            onSignal(signal);
    });
}
