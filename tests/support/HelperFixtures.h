#pragma once

#include "helper/MonotonicClock.h"
#include "support/FixtureTree.h"

#include <chrono>
#include <filesystem>
#include <string>

inline const std::filesystem::path kSensorFixtures = kFixturesDir / "sensors";

// Virtual monotonic time for the power meters: waiting moves the clock, nothing sleeps.
struct FakeMonotonicTime {
    MonotonicClock::TimePoint now{std::chrono::hours(1000)};
    int sleeps = 0;

    MonotonicClock clock() {
        MonotonicClock clock;
        clock.now = [this] { return now; };
        clock.sleepUntil = [this](MonotonicClock::TimePoint until) {
            ++sleeps;
            if (until > now) {
                now = until;
            }
        };
        return clock;
    }
    void advance(std::chrono::nanoseconds by) { now += by; }
};

// A writable copy of a fixture machine (or an empty root).
struct SensorTree : FixtureTree {
    explicit SensorTree(const std::string& machine = {})
        : FixtureTree(machine.empty() ? std::filesystem::path()
                                      : "sensors" / std::filesystem::path(machine)) {}
};
