#include "helper/SensorCollector.h"

#include <cmath>

namespace {

constexpr double kAbsent = -1.0;

}  // namespace

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
    reading.cpuTempCelsius = firstPositive(kCpuTemperatureKeys).value_or(kAbsent);
    reading.gpuTempCelsius = firstPositive(kGpuTemperatureKeys).value_or(kAbsent);
    reading.batteryTempCelsius = firstPositive(kBatteryTemperatureKeys).value_or(kAbsent);
    reading.ssdTempCelsius = firstPositive(kSsdTemperatureKeys).value_or(kAbsent);
    reading.memoryTempCelsius = firstPositive(kMemoryTemperatureKeys).value_or(kAbsent);
    reading.ambientTempCelsius = firstPositive(kAmbientTemperatureKeys).value_or(kAbsent);
    reading.ioTempCelsius = firstPositive(kIoTemperatureKeys).value_or(kAbsent);
    reading.cpuPowerWatts = firstPositive(kCpuPowerKeys).value_or(kAbsent);
    reading.gpuPowerWatts = firstPositive(kGpuPowerKeys).value_or(kAbsent);
    reading.systemPowerWatts = firstPositive(kSystemPowerKeys).value_or(kAbsent);
    reading.chargerPowerWatts = firstPositive(kChargerPowerKeys).value_or(kAbsent);
    reading.fan0Rpm = firstNonNegative(kFan0Keys).value_or(kAbsent);
    reading.fan1Rpm = firstNonNegative(kFan1Keys).value_or(kAbsent);
    reading.fanCount = fanCountFromValue(reader_.readKey(kFanCountKey));
    return reading;
}
