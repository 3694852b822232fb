#pragma once

#include "shared/SensorReading.h"

#include <array>
#include <cstddef>
#include <optional>

// The named fields of a sensor reading that sources fill, in the order they are collected.
enum class SensorField {
    cpuTemperature,
    gpuTemperature,
    batteryTemperature,
    ssdTemperature,
    memoryTemperature,
    ambientTemperature,
    ioTemperature,
    cpuPower,
    gpuPower,
    systemPower,
    chargerPower,
    fan0,
    fan1,
};
inline constexpr std::size_t kSensorFieldCount = 13;

// What a value means, for the check that turns garbage into "no value".
enum class SensorQuantity { temperature, power, fanSpeed };

SensorQuantity quantityOf(SensorField field);

// The member of the reading a field fills.
std::optional<double> SensorReading::*readingMember(SensorField field);

// Whether a figure can be a real reading of its kind; anything else (a read of -274 °C or
// 300 °C, a negative power, a non-number) is treated as no value.
bool isPlausibleReading(SensorQuantity quantity, double value);

// Whether a figure may stand as the field's value: plausible, and above 0 for temperatures
// and powers (a sensor that is not wired up reads 0); a stopped fan's 0 counts.
bool isUsableReading(SensorField field, double value);
