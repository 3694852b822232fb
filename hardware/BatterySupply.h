#pragma once

#include <filesystem>
#include <optional>

// The system's battery under <root>/sys/class/power_supply, the first that SystemBattery.h's
// rule finds: its temperature and the power the system draws from it.
class BatterySupply {
public:
    static std::optional<BatterySupply> find(const std::filesystem::path& root);

    // `temp`, in tenths of a degree.
    std::optional<double> temperatureCelsius() const;
    // The power the system draws from the battery while it discharges: `power_now`, else
    // `current_now` × `voltage_now`. Absent while charging or on mains, when the battery
    // does not feed the system.
    std::optional<double> dischargeWatts() const;

    bool hasTemperature() const;
    bool hasPower() const;

private:
    explicit BatterySupply(std::filesystem::path directory) : directory_(std::move(directory)) {}
    std::filesystem::path directory_;
};
