#include "platform/linux/thermal/ThermalZoneReader.h"

#include "linux_io/NumberedEntries.h"
#include "linux_io/SysfsText.h"

#include <optional>
#include <string>

namespace {

// More than any driver registers; stops the search on a strange tree.
constexpr int kMaximumTrips = 64;

std::optional<TripKind> parseTripKind(std::string_view text) {
    text = trimmed(text);
    if (text == "active") {
        return TripKind::active;
    }
    if (text == "passive") {
        return TripKind::passive;
    }
    if (text == "hot") {
        return TripKind::hot;
    }
    if (text == "critical") {
        return TripKind::critical;
    }
    return std::nullopt;
}

// Drivers mark unset trips with 0 (x86_pkg_temp before thermald sets them) or with large
// negative values (-274000, INT_MIN + 1): a trip at or below 0 °C would classify every reading
// as hot, so such trips are dropped.
std::vector<TripPoint> readTrips(const std::filesystem::path& zone) {
    std::vector<TripPoint> trips;
    for (int index = 0; index < kMaximumTrips; ++index) {
        const std::string prefix = "trip_point_" + std::to_string(index);
        const auto kindText = readTextFile(zone / (prefix + "_type"));
        if (!kindText) {
            break;
        }
        const auto kind = parseTripKind(*kindText);
        const auto temperatureText = readTextFile(zone / (prefix + "_temp"));
        const auto celsius =
            temperatureText ? parseMillidegrees(*temperatureText) : std::optional<double>{};
        if (kind && celsius && *celsius > 0) {
            trips.push_back({*kind, *celsius});
        }
    }
    return trips;
}

}  // namespace

ThermalZoneReader::ThermalZoneReader(const std::filesystem::path& root) {
    for (const NumberedEntry& entry : numberedEntries(root / "sys/class/thermal", "thermal_zone")) {
        const auto type = readTextFile(entry.path / "type");
        zones_.push_back({.number = entry.number,
                          .type = std::string(trimmed(type.value_or(std::string{}))),
                          .trips = readTrips(entry.path),
                          .temperature = KeptOpenFile(entry.path / "temp"),
                          .mode = KeptOpenFile(entry.path / "mode")});
    }
}

std::vector<ThermalZoneReading> ThermalZoneReader::read() {
    std::vector<ThermalZoneReading> readings;
    for (Zone& zone : zones_) {
        // Zones without a mode file are always on.
        const auto mode = zone.mode.read();
        if (mode && trimmed(*mode) == "disabled") {
            continue;
        }
        const auto text = zone.temperature.read();
        const auto celsius = text ? parseMillidegrees(*text) : std::nullopt;
        if (celsius) {
            readings.push_back({zone.number, zone.type, *celsius, zone.trips});
        }
    }
    return readings;
}
