#pragma once

#include "core/Clock.h"

#include <optional>

// One recorded row, kept in memory for the session report. A value the machine had no source
// for in that poll is absent: no GPU, no battery, no sensor, no fan. The CSV row keeps its own
// markers; only the report reads these.
struct RecordedSample {
    Clock::WallTime timestamp;
    double cpuPercent = 0;
    double ramPercent = 0;
    std::optional<double> gpuPercent;
    std::optional<double> cpuTemp;
    std::optional<double> gpuTemp;
    std::optional<double> ssdTemp;
    std::optional<double> memoryTemp;
    std::optional<double> systemPower;
    std::optional<double> fanRpm;  // the first fan's
    std::optional<int> batteryPercent;
    int thermalState = 0;
    bool operator==(const RecordedSample&) const = default;
};
