#pragma once

#include "core/Clock.h"
#include "core/SampleRecords.h"

#include <QString>

#include <cstdint>

// Peaks and totals of the running session, from the monitor's creation until the app quits.
// Every peak starts at 0 and is replaced only by a strictly greater value.
struct SessionSummary {
    Clock::WallTime startTime;
    double peakCpu = 0;
    std::uint64_t peakRamBytes = 0;
    double peakGpu = 0;
    double peakDownload = 0;
    double peakUpload = 0;
    ThermalState worstThermal = ThermalState::nominal;
    double totalDownloadBytes = 0;
    double totalUploadBytes = 0;
    std::int64_t throttleSeconds = 0;  // whole seconds of throttleTime
    double throttleTime = 0;           // seconds in the serious or critical state
    double peakCpuTemp = 0;
    double peakGpuTemp = 0;
    std::int64_t pollCount = 0;

    // One poll's system records and thermal state; the poll stands for `seconds` of the
    // session in the totals and the throttling time.
    void applyPoll(const CpuStats& cpu, const RamStats& ram, const NetworkStats& network,
                   const GpuStats& gpu, ThermalState thermal, double seconds);
    // One poll's sensor record; runs before applyPoll on polls with a sensor fetch, which are
    // the polls while something needed the sensors: the temperature peaks are theirs.
    void applyTemperatures(const SensorStats& sensors);

    QString durationText(Clock::WallTime now) const;
    QString peakCpuText() const;
    QString peakGpuText() const;
    QString throttleText() const;
};
