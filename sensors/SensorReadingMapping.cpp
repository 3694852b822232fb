#include "sensors/SensorReadingMapping.h"

namespace {

std::optional<double> presentWhenPositive(std::optional<double> value) {
    return value && *value > 0 ? value : std::nullopt;
}

SensorChannelKind channelKindOf(SensorKind kind) {
    switch (kind) {
        case SensorKind::temperature:
            return SensorChannelKind::temperature;
        case SensorKind::fan:
            return SensorChannelKind::fan;
        case SensorKind::voltage:
            return SensorChannelKind::voltage;
        case SensorKind::current:
            return SensorChannelKind::current;
        case SensorKind::power:
            return SensorChannelKind::power;
        case SensorKind::energy:
            return SensorChannelKind::energy;
    }
    return SensorChannelKind::temperature;
}

QString textOf(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

SensorChannelReading channelReadingOf(const SensorChannel& channel) {
    return SensorChannelReading{textOf(channel.chip),
                                textOf(channel.sensor),
                                textOf(channel.chipName),
                                textOf(channel.label),
                                channelKindOf(channel.kind),
                                channel.value,
                                channel.minimum,
                                channel.maximum,
                                channel.critical};
}

}  // namespace

SensorStats sensorStatsFrom(const SensorReading& reading) {
    SensorStats stats;
    stats.cpuTempCelsius = presentWhenPositive(reading.cpuTempCelsius);
    stats.gpuTempCelsius = presentWhenPositive(reading.gpuTempCelsius);
    stats.batteryTempCelsius = presentWhenPositive(reading.batteryTempCelsius);
    stats.ssdTempCelsius = presentWhenPositive(reading.ssdTempCelsius);
    stats.memoryTempCelsius = presentWhenPositive(reading.memoryTempCelsius);
    stats.ambientTempCelsius = presentWhenPositive(reading.ambientTempCelsius);
    stats.ioTempCelsius = presentWhenPositive(reading.ioTempCelsius);
    stats.cpuPowerWatts = presentWhenPositive(reading.cpuPowerWatts);
    stats.gpuPowerWatts = presentWhenPositive(reading.gpuPowerWatts);
    stats.systemPowerWatts = presentWhenPositive(reading.systemPowerWatts);
    stats.chargerPowerWatts = presentWhenPositive(reading.chargerPowerWatts);
    if (reading.fanCount >= 1 && reading.fan0Rpm && *reading.fan0Rpm >= 0) {
        stats.fans.append(FanReading{0, *reading.fan0Rpm});
    }
    if (reading.fanCount >= 2 && reading.fan1Rpm && *reading.fan1Rpm >= 0) {
        stats.fans.append(FanReading{1, *reading.fan1Rpm});
    }
    stats.channels.reserve(static_cast<qsizetype>(reading.channels.size()));
    for (const auto& channel : reading.channels) {
        stats.channels.append(channelReadingOf(channel));
    }
    return stats;
}
