#include "platform/qt_event_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/prctl.h>

#include <thread>

void QtEventClock::RunEvents(std::chrono::microseconds maxWait)
{
    const auto wholeMs = std::chrono::duration_cast<std::chrono::milliseconds>(maxWait);
    if (wholeMs.count() <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // Qt's timers count whole milliseconds; a shorter wait is a plain sleep, which holds
        // back an event by less than a millisecond at most.
        if (maxWait.count() > 0) {
            // The kernel lets a sleep run 50 us long by default, most of such a wait.
            ::prctl(PR_SET_TIMERSLACK, 1UL);
            std::this_thread::sleep_for(maxWait);
            ::prctl(PR_SET_TIMERSLACK, 0UL);  // back to the default
        }
        return;
    }
    // A single-shot timer bounds the sleep: processEvents wakes on it or on any earlier event.
    // The part below a millisecond is left to the caller, which looks again and waits the rest.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(static_cast<int>(wholeMs.count()));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
