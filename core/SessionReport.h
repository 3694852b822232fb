#pragma once

#include "core/Clock.h"

#include <QVector>

#include <cstdint>

// What a finished recording amounts to: averages, peaks with their times, time above fixed
// thresholds, energy, fan idleness, battery drain, throttling, and series for graphs.
// Times are seconds, temperatures °C, power W, energy Wh, fan speeds RPM. Built by the
// recording layer; kept here so the monitor can hand the recorder's last report to views.
struct SessionReport {
    double duration = 0;
    Clock::WallTime startTime;
    Clock::WallTime endTime;
    std::int64_t sampleCount = 0;

    double avgCPU = 0;
    double peakCPU = 0;
    Clock::WallTime peakCPUTime;
    double timeAboveCPU80 = 0;
    double timeAboveCPU90 = 0;

    double avgGPU = 0;
    double peakGPU = 0;
    Clock::WallTime peakGPUTime;

    double avgCPUTemp = 0;
    double peakCPUTemp = 0;
    Clock::WallTime peakCPUTempTime;
    double timeAboveTemp80 = 0;
    double timeAboveTemp90 = 0;

    double avgGPUTemp = 0;
    double peakGPUTemp = 0;
    Clock::WallTime peakGPUTempTime;

    double avgSSDTemp = 0;
    double peakSSDTemp = 0;
    Clock::WallTime peakSSDTempTime;

    double avgPower = 0;
    double peakPower = 0;
    Clock::WallTime peakPowerTime;
    double totalEnergy = 0;

    double avgFanRPM = 0;
    double peakFanRPM = 0;
    Clock::WallTime peakFanTime;
    double fanIdlePercent = 0;

    std::int64_t batteryStart = 0;
    std::int64_t batteryEnd = 0;
    std::int64_t batteryDrain = 0;

    std::int64_t thermalThrottleSeconds = 0;
    std::int64_t thermalThrottleEpisodes = 0;

    QVector<double> cpuHistory;
    QVector<double> cpuTempHistory;
    QVector<double> gpuTempHistory;
    QVector<double> powerHistory;
    QVector<double> fanHistory;

    bool operator==(const SessionReport&) const = default;
};
