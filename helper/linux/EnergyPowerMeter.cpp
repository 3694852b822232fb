#include "helper/linux/EnergyPowerMeter.h"

#include <utility>

std::optional<std::uint64_t> energyDelta(std::uint64_t previous, std::uint64_t current,
                                         std::uint64_t range) {
    if (current >= previous) {
        return current - previous;
    }
    if (range == 0 || previous > range || current > range) {
        return std::nullopt;
    }
    return range - previous + current;
}

EnergyPowerMeter::EnergyPowerMeter(std::function<std::optional<std::uint64_t>()> readMicrojoules,
                                   std::uint64_t rangeMicrojoules, const MonotonicClock& clock)
    : readMicrojoules_(std::move(readMicrojoules)),
      rangeMicrojoules_(rangeMicrojoules),
      clock_(clock) {}

void EnergyPowerMeter::prime() {
    if (!lastMicrojoules_) {
        sample();
    }
}

std::optional<double> EnergyPowerMeter::watts() {
    if (lastMicrojoules_ && clock_.now() - lastTime_ < kMinimumInterval) {
        if (lastWatts_ || !clock_.sleepUntil) {
            return lastWatts_;
        }
        clock_.sleepUntil(lastTime_ + kMinimumInterval);
    }
    if (!sample()) {
        lastWatts_.reset();
    }
    return lastWatts_;
}

// Reads the counter; sets the figure from the previous sample when there is one. False when
// the counter could not be read (the earlier sample is dropped too).
bool EnergyPowerMeter::sample() {
    const auto now = clock_.now();
    const auto microjoules = readMicrojoules_();
    if (!microjoules) {
        lastMicrojoules_.reset();
        return false;
    }
    const auto previous = std::exchange(lastMicrojoules_, microjoules);
    const auto previousTime = std::exchange(lastTime_, now);
    lastWatts_.reset();
    if (!previous) {
        return true;
    }
    const double seconds = std::chrono::duration<double>(now - previousTime).count();
    const auto delta = energyDelta(*previous, *microjoules, rangeMicrojoules_);
    if (delta && seconds > 0) {
        lastWatts_ = static_cast<double>(*delta) / 1e6 / seconds;
    }
    return true;
}
