#pragma once

#include "core/SampleRecords.h"
#include "platform/PowerSupplySource.h"

#include <optional>
#include <ostream>

// Readable failure messages for the battery records.

template <typename Value>
void printOptional(std::ostream* out, const char* name, const std::optional<Value>& value) {
    *out << name << '=';
    if (value) {
        *out << *value;
    } else {
        *out << "absent";
    }
    *out << ' ';
}

inline void PrintTo(const PowerSupplyReading& reading, std::ostream* out) {
    for (const PowerSourceDescription& source : reading.powerSources) {
        *out << "{source ";
        printOptional(out, "current", source.currentCapacity);
        printOptional(out, "max", source.maxCapacity);
        printOptional(out, "charging", source.isCharging);
        printOptional(out, "state", source.powerSourceState);
        printOptional(out, "toFull", source.timeToFullChargeMinutes);
        printOptional(out, "toEmpty", source.timeToEmptyMinutes);
        printOptional(out, "health", source.batteryHealth);
        *out << "} ";
    }
    if (const auto& gauge = reading.smartBattery) {
        *out << "{gauge ";
        printOptional(out, "cycles", gauge->cycleCount);
        printOptional(out, "design", gauge->designCapacity);
        printOptional(out, "rawMax", gauge->rawMaxCapacity);
        printOptional(out, "max", gauge->maxCapacity);
        printOptional(out, "mV", gauge->voltage);
        printOptional(out, "mA", gauge->amperage);
        *out << '}';
    }
}

inline void PrintTo(const BatteryStats& battery, std::ostream* out) {
    *out << "{hasBattery=" << battery.hasBattery << " percentage=" << battery.percentage
         << " isCharging=" << battery.isCharging << " isPluggedIn=" << battery.isPluggedIn
         << " timeRemainingMinutes=" << battery.timeRemainingMinutes
         << " healthPercent=" << battery.healthPercent << " cycleCount=" << battery.cycleCount
         << " currentWatts=" << battery.currentWatts << " voltage=" << battery.voltage
         << " condition=\"" << battery.condition.toStdString()
         << "\" designCapacityMAh=" << battery.designCapacityMAh
         << " currentMaxCapacityMAh=" << battery.currentMaxCapacityMAh << '}';
}
