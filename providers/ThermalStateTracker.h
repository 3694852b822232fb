#pragma once

#include "core/Clock.h"
#include "core/SampleRecords.h"
#include "platform/ThermalReadings.h"

#include <array>
#include <map>
#include <optional>
#include <string>

// Classifies each poll's thermal readings into the four thermal states and smooths them:
// the state rises at once and falls only after 30 s without the higher level. Besides the
// temperatures (see temperatureLevel), throttling counts: throttled for at least 50 % of the
// interval since the previous update is critical, at least 10 % serious, and any throttle
// event in the last 60 s fair. Time comes from the clock alone.
class ThermalStateTracker {
public:
    explicit ThermalStateTracker(const Clock& clock);

    ThermalState update(const ThermalReadings& readings);
    ThermalState state() const { return state_; }
    // The last update's level before smoothing.
    ThermalState lastLevel() const { return lastLevel_; }

private:
    ThermalState throttleLevel(const std::vector<ThrottleCounter>& counters, Clock::SteadyTime now);

    const Clock& clock_;
    std::map<std::string, ThrottleCounter> previousCounters_;
    std::optional<Clock::SteadyTime> previousUpdate_;
    std::optional<Clock::SteadyTime> lastThrottleEvent_;
    std::array<std::optional<Clock::SteadyTime>, 4> lastSeenByLevel_;
    ThermalState state_ = ThermalState::nominal;
    ThermalState lastLevel_ = ThermalState::nominal;
};
