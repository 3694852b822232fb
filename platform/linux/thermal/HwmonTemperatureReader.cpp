#include "platform/linux/thermal/HwmonTemperatureReader.h"

#include "hardware/HwmonInventory.h"
#include "linux_io/SysfsText.h"

namespace {

std::optional<double> readLimit(const std::optional<std::filesystem::path>& path) {
    const auto text = path ? readTextFile(*path) : std::nullopt;
    const auto celsius = text ? parseMillidegrees(*text) : std::nullopt;
    return celsius && *celsius > 0 ? celsius : std::nullopt;
}

}  // namespace

HwmonTemperatureReader::HwmonTemperatureReader(const std::filesystem::path& root) {
    for (const HwmonChip& found : HwmonInventory(root).chips()) {
        Chip chip;
        chip.name = found.name;
        for (const HwmonChannel& channel : found.channels) {
            if (channel.kind != SensorKind::temperature) {
                continue;
            }
            auto max = readLimit(channel.maximum);
            auto crit = readLimit(channel.critical);
            if (max || crit) {
                chip.sensors.push_back({channel.sensor, max, crit, KeptOpenFile(channel.input)});
            }
        }
        if (chip.sensors.empty()) {
            continue;
        }
        if (found.runtimeStatus) {
            chip.runtimeStatus.emplace(*found.runtimeStatus);
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
