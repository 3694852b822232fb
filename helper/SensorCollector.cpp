#include "helper/SensorCollector.h"

#include <cmath>

std::optional<double> SensorCollector::firstPositive(std::span<const std::string_view> keys) const {
    for (const std::string_view key : keys) {
        const auto value = reader_.readKey(key);
        if (value && *value > 0) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<double> SensorCollector::firstNonNegative(
    std::span<const std::string_view> keys) const {
    for (const std::string_view key : keys) {
        const auto value = reader_.readKey(key);
        if (value && *value >= 0) {
            return value;
        }
    }
    return std::nullopt;
}

std::int64_t fanCountFromValue(std::optional<double> value) {
    // 2^63 is exactly representable; every double below it converts without overflow.
    constexpr double kLimit = 9223372036854775808.0;
    if (!value || !std::isfinite(*value) || *value >= kLimit || *value < -kLimit) {
        return 0;
    }
    return static_cast<std::int64_t>(std::trunc(*value));
}

SensorReading SensorCollector::collect() const {
    SensorReading reading;
    reading.cpuTempCelsius = firstPositive(kCpuTemperatureKeys);
    reading.gpuTempCelsius = firstPositive(kGpuTemperatureKeys);
    reading.batteryTempCelsius = firstPositive(kBatteryTemperatureKeys);
    reading.ssdTempCelsius = firstPositive(kSsdTemperatureKeys);
    reading.memoryTempCelsius = firstPositive(kMemoryTemperatureKeys);
    reading.ambientTempCelsius = firstPositive(kAmbientTemperatureKeys);
    reading.ioTempCelsius = firstPositive(kIoTemperatureKeys);
    reading.cpuPowerWatts = firstPositive(kCpuPowerKeys);
    reading.gpuPowerWatts = firstPositive(kGpuPowerKeys);
    reading.systemPowerWatts = firstPositive(kSystemPowerKeys);
    reading.chargerPowerWatts = firstPositive(kChargerPowerKeys);
    reading.fan0Rpm = firstNonNegative(kFan0Keys);
    reading.fan1Rpm = firstNonNegative(kFan1Keys);
    reading.fanCount = fanCountFromValue(reader_.readKey(kFanCountKey));
    return reading;
}
