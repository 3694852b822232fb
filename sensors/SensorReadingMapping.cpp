#include "sensors/SensorReadingMapping.h"

namespace {

std::optional<double> presentWhenPositive(std::optional<double> value) {
    return value && *value > 0 ? value : std::nullopt;
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
    return stats;
}
