// The real clock and event pump: a monotonic clock, and waits that sleep in Qt's event loop
// until the next event or the deadline, so no wait spins a core.
#pragma once

#include <QElapsedTimer>

#include "platform/event_clock.h"

class QtEventClock : public EventClock {
public:
    QtEventClock() { m_timer.start(); }
    std::int64_t NowMs() override { return m_timer.elapsed(); }
    void RunEvents(std::chrono::microseconds maxWait) override;

private:
    QElapsedTimer m_timer;
};
