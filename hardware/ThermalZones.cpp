#include "hardware/ThermalZones.h"

#include "hardware/SensorNaming.h"
#include "linux_io/NumberedEntries.h"
#include "linux_io/SysfsText.h"

namespace {

// The kernel numbers trip points from 0 without gaps; a zone has a handful.
constexpr int kMostTripPoints = 32;

std::optional<double> criticalTrip(const std::filesystem::path& zone) {
    for (int trip = 0; trip < kMostTripPoints; ++trip) {
        const auto prefix = "trip_point_" + std::to_string(trip);
        const auto type = readSysfsFile(zone / (prefix + "_type"), 64);
        if (!type) {
            return std::nullopt;
        }
        if (trimmed(*type) == "critical") {
            return scaledValue(SensorKind::temperature,
                               readSysfsFile(zone / (prefix + "_temp"), 64).value_or(""));
        }
    }
    return std::nullopt;
}

}  // namespace

ThermalZones::ThermalZones(const std::filesystem::path& root) {
    for (const NumberedEntry& entry : numberedEntries(root / "sys/class/thermal", "thermal_zone")) {
        ThermalZone zone;
        zone.number = entry.number;
        zone.type = boundedLabel(readSysfsWord(entry.path / "type"));
        zone.temperature = entry.path / "temp";
        zone.criticalCelsius = criticalTrip(entry.path);
        zones_.push_back(std::move(zone));
    }
}
