#include "platform/qt_event_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/prctl.h>

#include <thread>

namespace {

// Qt's timers count whole milliseconds and wake a few tenths of one late, so the end of a wait
// is a plain sleep of at most this long; it holds back an event by no more than that.
constexpr std::chrono::milliseconds kPreciseTail{2};

void SleepPrecisely(std::chrono::microseconds wait)
{
    // The kernel lets a sleep run 50 us long by default, a good part of such a wait.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    std::this_thread::sleep_for(wait);
    ::prctl(PR_SET_TIMERSLACK, 0UL);  // back to the default
}

}  // namespace

void QtEventClock::RunEvents(std::chrono::microseconds maxWait)
{
    if (maxWait < kPreciseTail) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (maxWait.count() > 0)
            SleepPrecisely(maxWait);
        return;
    }
    // A single-shot timer bounds the sleep: processEvents wakes on it or on any earlier event.
    // It stops short of the end, which the caller waits out when it looks again.
    const auto untilTail = std::chrono::duration_cast<std::chrono::milliseconds>(maxWait) - kPreciseTail / 2;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(static_cast<int>(untilTail.count()));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
