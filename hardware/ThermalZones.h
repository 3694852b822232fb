#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// One thermal zone: its number N of thermal_zoneN, its `type` ("acpitz", "cpu-thermal"), its
// `temp` file and the temperature of its trip point of type "critical", when it has one.
struct ThermalZone {
    int number = 0;
    std::string type;
    std::filesystem::path temperature;
    std::optional<double> criticalCelsius;
};

// The zones under <root>/sys/class/thermal, found once, by number.
class ThermalZones {
public:
    explicit ThermalZones(const std::filesystem::path& root);

    const std::vector<ThermalZone>& zones() const { return zones_; }

private:
    std::vector<ThermalZone> zones_;
};
