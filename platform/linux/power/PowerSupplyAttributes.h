#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One system battery's attributes under /sys/class/power_supply, in the kernel's units.
// Absent when the driver does not offer the attribute or its value is not a number.
struct BatteryAttributes {
    std::string status;  // "Charging", "Discharging", "Not charging", "Full" or "Unknown"
    std::optional<std::int64_t> capacityPercent;
    std::optional<std::int64_t> energyNow;  // µWh
    std::optional<std::int64_t> energyFull;
    std::optional<std::int64_t> energyFullDesign;
    std::optional<std::int64_t> chargeNow;  // µAh
    std::optional<std::int64_t> chargeFull;
    std::optional<std::int64_t> chargeFullDesign;
    std::optional<std::int64_t> voltageNow;        // µV
    std::optional<std::int64_t> voltageMinDesign;  // µV
    std::optional<std::int64_t> currentNow;        // µA; unsigned on ACPI, signed elsewhere
    std::optional<std::int64_t> powerNow;          // µW
    std::optional<std::int64_t> cycleCount;        // 0 when the driver does not know
    std::optional<std::int64_t> timeToEmptySeconds;
    std::optional<std::int64_t> timeToFullSeconds;
    std::string health;  // "Good", "Overheat", ...; empty when not offered
    bool operator==(const BatteryAttributes&) const = default;
};

struct PowerSupplyAttributes {
    std::vector<BatteryAttributes> batteries;  // present system batteries, by supply name
    bool externalSupplyListed = false;         // a Mains or USB supply exists
    bool externalSupplyOnline = false;         // and at least one of them is online
    bool operator==(const PowerSupplyAttributes&) const = default;
};
