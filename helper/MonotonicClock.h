#pragma once

#include <chrono>
#include <functional>

// Monotonic time for the power meters and the kept reply, replaceable by virtual time in tests.
struct MonotonicClock {
    using TimePoint = std::chrono::steady_clock::time_point;
    std::function<TimePoint()> now = [] { return std::chrono::steady_clock::now(); };
    // Empty for the daemon, which never waits: one thread serves every client, so a wait for
    // one would stall them all. The one-shot sensor test sets it to wait out an interval.
    std::function<void(TimePoint)> sleepUntil;
};
