#pragma once

#include "helper/SensorField.h"

#include <span>
#include <string_view>

// Where each field's value comes from on Linux. This table is the one place that says which
// Linux sensor fills which field; docs/sensor-sources.md describes it.
enum class LinuxSourceKind {
    hwmonTemperature,        // a hwmon temperature, millidegrees Celsius
    hwmonPower,              // a hwmon power attribute, microwatts
    hwmonEnergy,             // a hwmon energy counter, microjoules, turned into watts
    raplPower,               // a powercap RAPL domain's energy counter, turned into watts
    thermalZoneTemperature,  // a thermal zone's temperature, millidegrees Celsius
    nvmlTemperature,         // the first NVIDIA GPU's temperature through NVML
    nvmlPower,               // the first NVIDIA GPU's power through NVML
    batteryTemperature,
    batteryPower,  // what a discharging battery delivers
    fanSpeed,      // the fan numbered `fan` among the fans found, RPM
};

struct LinuxSource {
    LinuxSourceKind kind;
    // hwmon: the chip's name ("nct6*" matches by prefix); RAPL: the domain's name; thermal
    // zone: the zone's type.
    std::string_view chip = {};
    // hwmon: the sensor's label; when empty, `attribute` names the file to read.
    std::string_view label = {};
    std::string_view attribute = {};
    int fan = 0;
};

struct LinuxFieldEntry {
    SensorField field;
    // Tried in order; the first that gives a usable value fills the field.
    std::span<const LinuxSource> sources;
};

std::span<const LinuxFieldEntry> linuxFieldTable();

// hwmon chips whose fans are the machine's fans (a GPU's own fan is not one of them).
std::span<const std::string_view> fanChips();
