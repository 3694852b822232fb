#pragma once

#include <QObject>

#include <chrono>
#include <functional>

// Every component that measures time or waits takes a Clock, so tests can run schedules,
// rates and cooldowns in virtual time.
class Clock {
public:
    using WallTime = std::chrono::system_clock::time_point;
    using SteadyTime = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;

    // Calendar time, for dates shown or stored.
    virtual WallTime wallNow() const = 0;
    // Monotonic time, for rates and intervals; never jumps with the calendar.
    virtual SteadyTime steadyNow() const = 0;
    // Calls `callback` once on this thread's event loop after `delay`.
    virtual void callAfter(std::chrono::nanoseconds delay, std::function<void()> callback) = 0;
};

// Seconds elapsed between two steady instants, as the rates want them.
inline double secondsBetween(Clock::SteadyTime earlier, Clock::SteadyTime later) {
    return std::chrono::duration<double>(later - earlier).count();
}

// The real clock: system time and Qt timers on the calling thread's event loop.
class SystemClock final : public Clock {
public:
    WallTime wallNow() const override { return std::chrono::system_clock::now(); }
    SteadyTime steadyNow() const override { return std::chrono::steady_clock::now(); }
    void callAfter(std::chrono::nanoseconds delay, std::function<void()> callback) override;

private:
    QObject timerContext_;  // timers die with the clock
};
