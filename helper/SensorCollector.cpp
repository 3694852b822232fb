#include "helper/SensorCollector.h"

#include <cmath>
#include <utility>

std::int64_t fanCountFromValue(std::optional<double> value) {
    // 2^63 is exactly representable; every double below it converts without overflow.
    constexpr double kLimit = 9223372036854775808.0;
    if (!value || !std::isfinite(*value) || *value >= kLimit || *value < -kLimit) {
        return 0;
    }
    return static_cast<std::int64_t>(std::trunc(*value));
}

SensorCollector::SensorCollector(FieldSources sources, ChannelList channels, MonotonicClock clock)
    : sources_(std::move(sources)), channels_(std::move(channels)), clock_(std::move(clock)) {}

SensorReading SensorCollector::collect() {
    const auto now = clock_.now();
    if (kept_ && now - keptAt_ < kReplyLifetime) {
        return *kept_;
    }
    kept_ = collectNow();
    keptAt_ = now;
    return *kept_;
}

SensorReading SensorCollector::collectNow() const {
    SensorReading reading;
    for (std::size_t i = 0; i < kSensorFieldCount; ++i) {
        const auto field = static_cast<SensorField>(i);
        reading.*readingMember(field) = firstUsable(field, sources_.byField[i]);
    }
    reading.fanCount =
        fanCountFromValue(sources_.fanCount ? sources_.fanCount() : std::optional<double>());
    if (channels_) {
        reading.channels = channels_();
    }
    return reading;
}
