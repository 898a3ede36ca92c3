// Virtual time for in-process tests: RunEvents jumps to the next scheduled event or the deadline,
// so a five-second wait costs nothing and every wait is deterministic.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/event_clock.h"

class VirtualClock : public EventClock {
public:
    std::int64_t NowMs() override { return m_now; }
    void RunEvents(std::chrono::microseconds maxWait) override;

    // Runs action inside the first RunEvents that reaches time atMs (events never run outside).
    void Schedule(std::int64_t atMs, std::function<void()> action);
    void Advance(std::int64_t ms) { m_now += ms; }

    int pumps = 0;  // how many times the loader let events run

private:
    std::int64_t m_now = 1000;
    std::multimap<std::int64_t, std::function<void()>> m_events;
};
