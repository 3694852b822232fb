#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Raw thermal facts of one moment, in degrees Celsius and milliseconds, as the thermal-state
// tracker classifies them.

enum class TripKind { active, passive, hot, critical };

struct TripPoint {
    TripKind kind = TripKind::active;
    double celsius = 0;
    bool operator==(const TripPoint&) const = default;
};

// An enabled thermal zone with a readable temperature.
struct ThermalZoneReading {
    int zone = 0;
    std::string type;
    double celsius = 0;
    std::vector<TripPoint> trips;  // only trips with a usable temperature
    bool operator==(const ThermalZoneReading&) const = default;
};

// Cumulative throttling of one core or one package.
struct ThrottleCounter {
    std::string id;  // "package0", "package0-core3"
    std::uint64_t events = 0;
    std::uint64_t throttledMs = 0;
    bool operator==(const ThrottleCounter&) const = default;
};

// A hardware-monitor temperature that has at least one limit.
struct HwmonTemperature {
    std::string chip;    // the chip's name, e.g. "coretemp"
    std::string sensor;  // e.g. "temp1"
    double celsius = 0;
    std::optional<double> maxCelsius;
    std::optional<double> critCelsius;
    bool operator==(const HwmonTemperature&) const = default;
};

struct ThermalReadings {
    std::vector<ThermalZoneReading> zones;
    std::vector<ThrottleCounter> throttle;
    std::vector<HwmonTemperature> hwmon;
};
