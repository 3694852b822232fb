#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Monotonic time for the helper's rate meters, replaceable by virtual time in tests.
struct MonotonicClock {
    using TimePoint = std::chrono::steady_clock::time_point;
    std::function<TimePoint()> now = [] { return std::chrono::steady_clock::now(); };
    std::function<void(TimePoint)> sleepUntil = [](TimePoint until) {
        std::this_thread::sleep_until(until);
    };
};
