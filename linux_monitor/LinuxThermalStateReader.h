#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "platform/linux/thermal/HwmonTemperatureReader.h"
#include "platform/linux/thermal/ThermalZoneReader.h"
#include "platform/linux/thermal/ThrottleCounterReader.h"
#include "providers/ThermalStateTracker.h"

#include <filesystem>
#include <memory>

// The thermal state on Linux: thermal zones, throttle counters and hwmon limits under <root>,
// classified and smoothed by a ThermalStateTracker. A machine that exposes none of them is
// always nominal.
class LinuxThermalStateReader final : public ThermalStateReader {
public:
    explicit LinuxThermalStateReader(const Clock& clock, const std::filesystem::path& root = "/");
    ThermalState read() override;

private:
    ThermalZoneReader zones_;
    ThrottleCounterReader throttle_;
    HwmonTemperatureReader hwmon_;
    ThermalStateTracker tracker_;
};

std::unique_ptr<ThermalStateReader> makeLinuxThermalStateReader(
    const Clock& clock, const std::filesystem::path& root = "/");
