#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The power-source state shown while the machine runs on external power.
inline constexpr std::string_view kACPowerState = "AC Power";
inline constexpr std::string_view kBatteryPowerState = "Battery Power";

// Time estimate meaning "not draining": on external power with the battery held where it is.
inline constexpr std::int64_t kTimeRemainingUnlimited = -2;

// One power source as the battery provider reads it. Every property is optional: absent means
// the source does not report it.
struct PowerSourceDescription {
    std::optional<std::int64_t> currentCapacity;  // charge, in units of maxCapacity
    std::optional<std::int64_t> maxCapacity;      // full scale of currentCapacity (100: percent)
    std::optional<bool> isCharging;
    std::optional<std::string> powerSourceState;  // kACPowerState or kBatteryPowerState
    std::optional<std::int64_t> timeToFullChargeMinutes;
    std::optional<std::int64_t> timeToEmptyMinutes;
    std::optional<std::string> batteryHealth;  // the condition text
    bool operator==(const PowerSourceDescription&) const = default;
};

// The battery's own gauge figures.
struct SmartBatteryProperties {
    std::optional<std::int64_t> cycleCount;
    std::optional<std::int64_t> designCapacity;  // mAh
    std::optional<std::int64_t> rawMaxCapacity;  // mAh, present full-charge capacity; preferred
    std::optional<std::int64_t> maxCapacity;     // mAh, used when rawMaxCapacity is absent
    std::optional<std::int64_t> voltage;         // mV
    std::optional<std::int64_t> amperage;        // mA, negative while discharging
    bool operator==(const SmartBatteryProperties&) const = default;
};

struct PowerSupplyReading {
    // Every power source listed, the one to show first; empty when there is none.
    std::vector<PowerSourceDescription> powerSources;
    // Absent when the machine has no battery gauge to read.
    std::optional<SmartBatteryProperties> smartBattery;
    bool operator==(const PowerSupplyReading&) const = default;
};

// Where the battery provider gets its figures. A source that cannot be read is an empty
// reading, the same as a machine without a battery.
class PowerSupplySource {
public:
    virtual ~PowerSupplySource() = default;
    virtual PowerSupplyReading read() = 0;
};
