#pragma once

#include <cstdint>

// The one record the helper sends: fourteen values, -1.0 where a sensor gave nothing usable.
// Compiled into both programs; plain C++ so the helper needs nothing of the application.
struct SensorReading {
    double cpuTempCelsius = -1.0;
    double gpuTempCelsius = -1.0;
    double batteryTempCelsius = -1.0;
    double ssdTempCelsius = -1.0;
    double memoryTempCelsius = -1.0;
    double ambientTempCelsius = -1.0;
    double ioTempCelsius = -1.0;
    double cpuPowerWatts = -1.0;
    double gpuPowerWatts = -1.0;
    double systemPowerWatts = -1.0;
    double chargerPowerWatts = -1.0;
    double fan0Rpm = -1.0;
    double fan1Rpm = -1.0;
    std::int64_t fanCount = 0;
    bool operator==(const SensorReading&) const = default;
};
