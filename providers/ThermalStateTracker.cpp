#include "providers/ThermalStateTracker.h"

#include "providers/ThermalLevel.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr auto kStepDownDelay = std::chrono::seconds(30);
constexpr auto kThrottleEventMemory = std::chrono::seconds(60);
constexpr double kCriticalThrottledShare = 0.5;
constexpr double kSeriousThrottledShare = 0.1;

}  // namespace

ThermalStateTracker::ThermalStateTracker(const Clock& clock) : clock_(clock) {}

ThermalState ThermalStateTracker::throttleLevel(const std::vector<ThrottleCounter>& counters,
                                                Clock::SteadyTime now) {
    const double intervalMs =
        previousUpdate_ ? secondsBetween(*previousUpdate_, now) * 1000.0 : 0.0;
    double worstShare = 0;
    std::map<std::string, ThrottleCounter> current;
    for (const ThrottleCounter& counter : counters) {
        current.emplace(counter.id, counter);
        const auto previous = previousCounters_.find(counter.id);
        // A counter that is new or went backwards (processor re-added) has no interval yet.
        if (previous == previousCounters_.end() || counter.events < previous->second.events ||
            counter.throttledMs < previous->second.throttledMs) {
            continue;
        }
        const auto throttledMs = counter.throttledMs - previous->second.throttledMs;
        if (counter.events > previous->second.events || throttledMs > 0) {
            lastThrottleEvent_ = now;
        }
        if (intervalMs > 0) {
            worstShare = std::max(worstShare, static_cast<double>(throttledMs) / intervalMs);
        }
    }
    previousCounters_ = std::move(current);

    if (worstShare >= kCriticalThrottledShare) {
        return ThermalState::critical;
    }
    if (worstShare >= kSeriousThrottledShare) {
        return ThermalState::serious;
    }
    if (lastThrottleEvent_ && now - *lastThrottleEvent_ < kThrottleEventMemory) {
        return ThermalState::fair;
    }
    return ThermalState::nominal;
}

ThermalState ThermalStateTracker::update(const ThermalReadings& readings) {
    const Clock::SteadyTime now = clock_.steadyNow();
    const ThermalState level =
        std::max(temperatureLevel(readings), throttleLevel(readings.throttle, now));
    previousUpdate_ = now;
    lastLevel_ = level;

    lastSeenByLevel_[static_cast<std::size_t>(thermalStateValue(level))] = now;
    // The highest level seen within the step-down delay; the one just seen always counts.
    state_ = ThermalState::nominal;
    for (int value = thermalStateValue(ThermalState::critical); value > 0; --value) {
        const auto& seen = lastSeenByLevel_[static_cast<std::size_t>(value)];
        if (seen && now - *seen < kStepDownDelay) {
            state_ = static_cast<ThermalState>(value);
            break;
        }
    }
    return state_;
}
