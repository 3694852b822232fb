#pragma once

#include "helper/MonotonicClock.h"

#include <cstdint>
#include <functional>
#include <optional>

// Average power from a cumulative energy counter in microjoules (RAPL's energy_uj, hwmon's
// energyN_input): the change since the previous sample over the time between them.
//
// Each counter is sampled at most every 100 ms, and within that window the last figure is
// given again. The kernel keeps RAPL counters root-only because fine-grained energy readings
// leak what the processor computes (power side channels); through the helper, any allowed
// user sees no finer grain than 100 ms averages.
class EnergyPowerMeter {
public:
    static constexpr std::chrono::milliseconds kMinimumInterval{100};

    // `readMicrojoules` reads the counter; `rangeMicrojoules` is where it wraps to 0 (0 when
    // unknown: a counter that went backwards then gives no figure).
    EnergyPowerMeter(std::function<std::optional<std::uint64_t>()> readMicrojoules,
                     std::uint64_t rangeMicrojoules, const MonotonicClock& clock);

    // Takes the first sample, so the first figure can follow 100 ms later.
    void prime();
    // Watts, or absent when the counter cannot be read or has no sample 100 ms old yet. When
    // the clock can wait, the first figure after priming waits out the rest of the 100 ms;
    // otherwise it is absent until then.
    std::optional<double> watts();

private:
    bool sample();

    std::function<std::optional<std::uint64_t>()> readMicrojoules_;
    std::uint64_t rangeMicrojoules_;
    MonotonicClock clock_;
    std::optional<std::uint64_t> lastMicrojoules_;
    MonotonicClock::TimePoint lastTime_{};
    std::optional<double> lastWatts_;
};

// Energy used between two counter readings of a counter that wraps to 0 after `range`
// microjoules; absent when the readings cannot come from such a counter.
std::optional<std::uint64_t> energyDelta(std::uint64_t previous, std::uint64_t current,
                                         std::uint64_t range);
