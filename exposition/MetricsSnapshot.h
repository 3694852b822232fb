#pragma once

#include "core/SampleRecords.h"
#include "core/SessionSummary.h"

#include <QString>

class SystemMonitor;

// What one poll measured, as the exposition renders it: copies of the monitor's records, so a
// rendering never reads a record the next poll is writing.
struct MetricsSnapshot {
    CpuStats cpu;
    RamStats ram;
    NetworkStats network;
    BatteryStats battery;
    DiskStats disk;
    GpuStats gpu;
    ProcessStats processes;
    ThermalState thermalState = ThermalState::nominal;
    SensorStats sensors;
    SessionSummary session;
    bool helperAvailable = false;  // the sensor helper answers: the sensor figures are real
    QString version;               // the program's release, for vantrel_build_info
};

MetricsSnapshot metricsSnapshotOf(const SystemMonitor& monitor, const QString& version);
