#pragma once

#include <span>
#include <string_view>

// Where the virtual SMC takes each key's value on Linux. This table is the one place that
// says which Linux sensor answers which key; docs/sensor-keys.md describes it.
enum class SensorSourceKind {
    hwmonTemperature,  // a hwmon temperature, millidegrees Celsius
    hwmonPower,        // a hwmon power attribute, microwatts
    hwmonEnergy,       // a hwmon energy counter, microjoules, turned into watts
    raplPower,         // a powercap RAPL domain's energy counter, turned into watts
    nvmlTemperature,   // the first NVIDIA GPU's temperature through NVML
    nvmlPower,         // the first NVIDIA GPU's power through NVML
    batteryTemperature,
    batteryPower,  // what a discharging battery delivers
    fanSpeed,      // the fan numbered `fan` among the fans found, RPM
    fanCount,      // how many fans were found
};

// What a value means, for the plausibility check that turns garbage into "no value".
enum class SensorQuantity { temperature, power, fanSpeed, count };

struct SensorSource {
    SensorSourceKind kind;
    // hwmon: the chip's name ("nct6*" matches by prefix); RAPL: the domain's name.
    std::string_view chip = {};
    // hwmon: the sensor's label; when empty, `attribute` names the file to read.
    std::string_view label = {};
    std::string_view attribute = {};
    int fan = 0;
};

struct VirtualSmcKey {
    std::string_view key;
    SensorQuantity quantity;
    // Tried in order; the first source that gives a plausible value answers.
    std::span<const SensorSource> sources;
};

std::span<const VirtualSmcKey> virtualSmcKeyMap();

// hwmon chips whose fans are the machine's fans (a GPU's own fan is not one of them).
std::span<const std::string_view> fanChips();
