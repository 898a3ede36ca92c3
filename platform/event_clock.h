// Monotonic millisecond clock and event pump. Every wait of the loader goes through here, so
// tests can run a 5-second break reset on virtual time and no wait ever spins a core.
#pragma once

#include <chrono>
#include <cstdint>

class EventClock {
public:
    virtual ~EventClock() = default;
    virtual std::int64_t NowMs() = 0;
    // Runs pending events, sleeping until the next event arrives or at most maxWait has passed.
    // Finer than a millisecond, so a drain wait can end when the last character has left.
    virtual void RunEvents(std::chrono::microseconds maxWait) = 0;
};
