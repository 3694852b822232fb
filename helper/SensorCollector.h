#pragma once

#include "helper/FieldSource.h"
#include "helper/MonotonicClock.h"
#include "shared/SensorReading.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Turns a machine's field sources into one SensorReading: each field takes the first usable
// value of its sources, so one program serves every machine without a table of models. A
// reply is kept for 100 ms: a request within that time of the last collection gets the same
// answer, so no figure can be read finer than that through the helper.
class SensorCollector {
public:
    using ChannelList = std::function<std::vector<SensorChannel>()>;
    static constexpr std::chrono::milliseconds kReplyLifetime{100};

    // `channels` lists every sensor of the machine (may be empty: no channels).
    SensorCollector(FieldSources sources, ChannelList channels, MonotonicClock clock);

    SensorReading collect();

private:
    SensorReading collectNow() const;

    FieldSources sources_;
    ChannelList channels_;
    MonotonicClock clock_;
    std::optional<SensorReading> kept_;
    MonotonicClock::TimePoint keptAt_{};
};

// The fan count as the record holds it: the value truncated toward zero; 0 when there is no
// value, or when it is not a number or beyond a signed 64-bit integer.
std::int64_t fanCountFromValue(std::optional<double> value);
