#include "hardware/BatterySupply.h"

#include "hardware/SystemBattery.h"
#include "linux_io/SysfsText.h"

#include <cstdlib>

std::optional<BatterySupply> BatterySupply::find(const std::filesystem::path& root) {
    if (auto directory = findSystemBattery(root)) {
        return BatterySupply(std::move(*directory));
    }
    return std::nullopt;
}

bool BatterySupply::hasTemperature() const {
    std::error_code error;
    return std::filesystem::exists(directory_ / "temp", error);
}

bool BatterySupply::hasPower() const {
    std::error_code error;
    return std::filesystem::exists(directory_ / "power_now", error) ||
           (std::filesystem::exists(directory_ / "current_now", error) &&
            std::filesystem::exists(directory_ / "voltage_now", error));
}

std::optional<double> BatterySupply::temperatureCelsius() const {
    const auto tenths = readIntegerFile(directory_ / "temp");
    return tenths ? std::optional<double>(static_cast<double>(*tenths) / 10.0) : std::nullopt;
}

std::optional<double> BatterySupply::dischargeWatts() const {
    if (readSysfsWord(directory_ / "status") != "Discharging") {
        return std::nullopt;
    }
    // Some drivers sign the figures by direction, ACPI does not: the status gave it already.
    if (const auto microwatts = readIntegerFile(directory_ / "power_now")) {
        return std::abs(static_cast<double>(*microwatts)) / 1e6;
    }
    const auto microamps = readIntegerFile(directory_ / "current_now");
    const auto microvolts = readIntegerFile(directory_ / "voltage_now");
    if (!microamps || !microvolts) {
        return std::nullopt;
    }
    return std::abs(static_cast<double>(*microamps)) * static_cast<double>(*microvolts) / 1e12;
}
