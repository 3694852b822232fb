#include "helper/linux/ThermalZones.h"

#include "linux_io/SysfsText.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kZonePrefix = "thermal_zone";

// The zone's number, or absent for any other entry of the folder.
std::optional<unsigned> zoneNumber(const std::string& name) {
    if (!name.starts_with(kZonePrefix) || name.size() == kZonePrefix.size()) {
        return std::nullopt;
    }
    unsigned number = 0;
    const char* first = name.data() + kZonePrefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

std::optional<std::filesystem::path> findThermalZoneTemperature(const std::filesystem::path& root,
                                                                std::string_view type) {
    std::vector<std::pair<unsigned, std::filesystem::path>> zones;
    std::error_code error;
    std::filesystem::directory_iterator it(root / "sys/class/thermal", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (const auto number = zoneNumber(it->path().filename().string())) {
            zones.emplace_back(*number, it->path());
        }
    }
    std::sort(zones.begin(), zones.end());
    for (const auto& [number, zone] : zones) {
        if (readSysfsWord(zone / "type") == type) {
            return zone / "temp";
        }
    }
    return std::nullopt;
}
