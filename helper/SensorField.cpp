#include "helper/SensorField.h"

#include <cmath>

namespace {

constexpr double kAbsoluteZeroCelsius = -273.15;
constexpr double kHighestTemperatureCelsius = 200.0;
constexpr double kHighestPowerWatts = 5000.0;
constexpr double kHighestFanRpm = 50000.0;

using R = SensorReading;
constexpr std::array<std::optional<double> R::*, kSensorFieldCount> kMembers{
    &R::cpuTempCelsius,    &R::gpuTempCelsius,     &R::batteryTempCelsius, &R::ssdTempCelsius,
    &R::memoryTempCelsius, &R::ambientTempCelsius, &R::ioTempCelsius,      &R::cpuPowerWatts,
    &R::gpuPowerWatts,     &R::systemPowerWatts,   &R::chargerPowerWatts,  &R::fan0Rpm,
    &R::fan1Rpm,
};

}  // namespace

SensorQuantity quantityOf(SensorField field) {
    switch (field) {
        case SensorField::cpuPower:
        case SensorField::gpuPower:
        case SensorField::systemPower:
        case SensorField::chargerPower:
            return SensorQuantity::power;
        case SensorField::fan0:
        case SensorField::fan1:
            return SensorQuantity::fanSpeed;
        default:
            return SensorQuantity::temperature;
    }
}

std::optional<double> SensorReading::*readingMember(SensorField field) {
    return kMembers[static_cast<std::size_t>(field)];
}

bool isPlausibleReading(SensorQuantity quantity, double value) {
    if (!std::isfinite(value)) {
        return false;
    }
    switch (quantity) {
        case SensorQuantity::temperature:
            return value > kAbsoluteZeroCelsius && value <= kHighestTemperatureCelsius;
        case SensorQuantity::power:
            return value >= 0 && value <= kHighestPowerWatts;
        case SensorQuantity::fanSpeed:
            return value >= 0 && value <= kHighestFanRpm;
    }
    return false;
}

bool isUsableReading(SensorField field, double value) {
    const SensorQuantity quantity = quantityOf(field);
    if (!isPlausibleReading(quantity, value)) {
        return false;
    }
    return quantity == SensorQuantity::fanSpeed || value > 0;
}
