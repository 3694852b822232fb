#include "platform/linux/thermal/HwmonTemperatureReader.h"

#include "linux_io/NumberedEntries.h"
#include "linux_io/SysfsText.h"

#include <algorithm>
#include <string_view>

namespace {

std::optional<double> readLimit(const std::filesystem::path& path) {
    const auto text = readTextFile(path);
    const auto celsius = text ? parseMillidegrees(*text) : std::nullopt;
    return celsius && *celsius > 0 ? celsius : std::nullopt;
}

// "temp3" for "temp3_input"; empty for any other name.
std::string temperatureSensorName(std::string_view fileName) {
    constexpr std::string_view kPrefix = "temp";
    constexpr std::string_view kSuffix = "_input";
    if (!fileName.starts_with(kPrefix) || !fileName.ends_with(kSuffix)) {
        return {};
    }
    const auto digits =
        fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size());
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return {};
    }
    return std::string(fileName.substr(0, fileName.size() - kSuffix.size()));
}

std::vector<std::string> temperatureSensorNames(const std::filesystem::path& chip) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(chip, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        auto name = temperatureSensorName(it->path().filename().string());
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

HwmonTemperatureReader::HwmonTemperatureReader(const std::filesystem::path& root) {
    for (const NumberedEntry& entry : numberedEntries(root / "sys/class/hwmon", "hwmon")) {
        Chip chip;
        chip.name = std::string(trimmed(readTextFile(entry.path / "name").value_or("")));
        for (const std::string& sensor : temperatureSensorNames(entry.path)) {
            auto max = readLimit(entry.path / (sensor + "_max"));
            auto crit = readLimit(entry.path / (sensor + "_crit"));
            if (max || crit) {
                chip.sensors.push_back(
                    {sensor, max, crit, KeptOpenFile(entry.path / (sensor + "_input"))});
            }
        }
        if (chip.sensors.empty()) {
            continue;
        }
        const auto runtimeStatus = entry.path / "device/power/runtime_status";
        std::error_code error;
        if (std::filesystem::exists(runtimeStatus, error)) {
            chip.runtimeStatus.emplace(runtimeStatus);
        }
        chips_.push_back(std::move(chip));
    }
}

std::vector<HwmonTemperature> HwmonTemperatureReader::read() {
    std::vector<HwmonTemperature> readings;
    for (Chip& chip : chips_) {
        if (chip.runtimeStatus) {
            const auto status = chip.runtimeStatus->read();
            if (status && trimmed(*status) == "suspended") {
                continue;
            }
        }
        for (Sensor& sensor : chip.sensors) {
            const auto text = sensor.input.read();
            const auto celsius = text ? parseMillidegrees(*text) : std::nullopt;
            if (celsius) {
                readings.push_back(
                    {chip.name, sensor.name, *celsius, sensor.maxCelsius, sensor.critCelsius});
            }
        }
    }
    return readings;
}
