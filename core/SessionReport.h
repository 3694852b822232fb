#pragma once

#include "core/Clock.h"

#include <QVector>

#include <cstdint>

// What a finished recording amounts to: averages, peaks with their times, time above fixed
// thresholds, energy, fan idleness, battery drain, throttling, and series for graphs.
// Times are seconds, temperatures °C, power W, energy Wh, fan speeds RPM. Built by the
// recording layer; kept here so the monitor can hand the recorder's last report to views.
//
// Each `...Samples` count says how many samples held that reading. A recording made on a
// machine without the source (no GPU, sensor, fan or battery) counts 0 there, and the figures
// of that block are then zeros that mean nothing: views show the block as missing. A count
// above 0 with an average of 0 is a real reading of 0.
struct SessionReport {
    double duration = 0;
    Clock::WallTime startTime;
    Clock::WallTime endTime;
    std::int64_t sampleCount = 0;

    double avgCpu = 0;
    double peakCpu = 0;
    Clock::WallTime peakCpuTime;
    double timeAboveCpu80 = 0;
    double timeAboveCpu90 = 0;

    std::int64_t gpuSamples = 0;
    double avgGpu = 0;
    double peakGpu = 0;
    Clock::WallTime peakGpuTime;

    std::int64_t cpuTempSamples = 0;
    double avgCpuTemp = 0;
    double peakCpuTemp = 0;
    Clock::WallTime peakCpuTempTime;
    double timeAboveTemp80 = 0;
    double timeAboveTemp90 = 0;

    std::int64_t gpuTempSamples = 0;
    double avgGpuTemp = 0;
    double peakGpuTemp = 0;
    Clock::WallTime peakGpuTempTime;

    std::int64_t ssdTempSamples = 0;
    double avgSsdTemp = 0;
    double peakSsdTemp = 0;
    Clock::WallTime peakSsdTempTime;

    std::int64_t powerSamples = 0;
    double avgPower = 0;
    double peakPower = 0;
    Clock::WallTime peakPowerTime;
    double totalEnergy = 0;

    std::int64_t fanSamples = 0;
    double avgFanRpm = 0;  // of the samples with the fan turning; 0 when it never turned
    double peakFanRpm = 0;
    Clock::WallTime peakFanTime;
    double fanIdlePercent = 0;

    std::int64_t batterySamples = 0;
    std::int64_t batteryStart = 0;
    std::int64_t batteryEnd = 0;
    std::int64_t batteryDrain = 0;

    std::int64_t thermalThrottleSeconds = 0;
    std::int64_t thermalThrottleEpisodes = 0;

    // The measured values only, in time order, at most kReportSeriesPoints of each.
    QVector<double> cpuHistory;
    QVector<double> cpuTempHistory;
    QVector<double> gpuTempHistory;
    QVector<double> powerHistory;
    QVector<double> fanHistory;

    bool operator==(const SessionReport&) const = default;
};
