#pragma once

#include "core/Clock.h"

#include <chrono>
#include <functional>
#include <map>

// Virtual time: nothing happens until the test advances the clock, and then every callback
// that falls due runs in deadline order, at its deadline.
class FakeClock final : public Clock {
public:
    WallTime wallNow() const override { return wallStart_ + elapsed_; }
    SteadyTime steadyNow() const override { return SteadyTime{} + elapsed_; }

    void callAfter(std::chrono::nanoseconds delay, std::function<void()> callback) override {
        due_.emplace(elapsed_ + delay, std::move(callback));
    }

    void advance(std::chrono::nanoseconds by) {
        const auto target = elapsed_ + by;
        while (!due_.empty() && due_.begin()->first <= target) {
            auto next = due_.begin();
            elapsed_ = next->first;
            auto callback = std::move(next->second);
            due_.erase(next);
            callback();
        }
        elapsed_ = target;
    }

    // Seconds of virtual time since the clock was made.
    double elapsedSeconds() const { return std::chrono::duration<double>(elapsed_).count(); }
    std::size_t pendingCallbacks() const { return due_.size(); }
    void setWallStart(WallTime start) { wallStart_ = start; }

private:
    std::chrono::nanoseconds elapsed_{0};
    WallTime wallStart_ = WallTime{} + std::chrono::hours(24 * 365 * 56);  // mid-2025
    std::multimap<std::chrono::nanoseconds, std::function<void()>> due_;
};
