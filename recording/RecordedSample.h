#pragma once

#include "core/Clock.h"

// One recorded row, kept in memory for the session report. Absent sensor values are 0.
struct RecordedSample {
    Clock::WallTime timestamp;
    double cpuPercent = 0;
    double ramPercent = 0;
    double gpuPercent = 0;
    double cpuTemp = 0;
    double gpuTemp = 0;
    double ssdTemp = 0;
    double memoryTemp = 0;
    double systemPower = 0;
    double fanRPM = 0;
    int batteryPercent = 0;
    int thermalState = 0;
    bool operator==(const RecordedSample&) const = default;
};
