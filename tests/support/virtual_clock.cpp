#include "tests/support/virtual_clock.h"

#include <algorithm>

void VirtualClock::RunEvents(std::chrono::microseconds maxWait)
{
    ++pumps;
    // Virtual time moves in whole milliseconds; a shorter wait takes one.
    const std::int64_t deadline = m_now + std::max<std::int64_t>((maxWait.count() + 999) / 1000, 0);
    // Everything due by the deadline runs; time stops at the first event if there is one, as a
    // real event loop wakes on the first event.
    auto next = m_events.begin();
    if (next == m_events.end() || next->first > deadline) {
        m_now = deadline;
        return;
    }
    m_now = std::max(m_now, next->first);
    while (!m_events.empty() && m_events.begin()->first <= m_now) {
        auto action = std::move(m_events.begin()->second);
        m_events.erase(m_events.begin());
        action();
    }
}

void VirtualClock::Schedule(std::int64_t atMs, std::function<void()> action)
{
    m_events.emplace(atMs, std::move(action));
}
