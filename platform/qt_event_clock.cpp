#include "platform/qt_event_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void QtEventClock::RunEvents(std::int64_t maxWaitMs)
{
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A single-shot timer bounds the sleep: processEvents wakes on it or on any earlier event.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(static_cast<int>(maxWaitMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
