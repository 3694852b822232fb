#pragma once

#include "core/Clock.h"
#include "core/SampleRecords.h"
#include "recording/RecordedSample.h"

#include <QString>

struct MonitorHistories;
class SystemMonitor;

// The eighteen comma-separated columns shared by the snapshot export and the recordings.
// Numbers are "%.1f" unless a column is an integer; timestamps are ISO 8601 in UTC.

// The published records a row is made of.
struct CurrentReadings {
    CpuStats cpu;
    RamStats ram;
    GpuStats gpu;
    DiskStats disk;
    BatteryStats battery;
    NetworkStats network;
    ThermalState thermalState = ThermalState::nominal;
    SensorStats sensors;
};

// The monitor's published records, as they stand.
CurrentReadings currentReadingsOf(const SystemMonitor& monitor);

// 2026-01-31T14:05:09Z: seconds, no fraction, "Z" for UTC.
QString isoTimestamp(Clock::WallTime time);

QString csvHeader();

// The snapshot's row of the present readings: -1.0 marks an absent sensor or fan.
QString currentReadingsRow(const CurrentReadings& readings, Clock::WallTime now);

// A recording's row, without its line feed: -1.0 marks an absent sensor, 0.0 a missing fan.
QString recordedRow(const CurrentReadings& readings, Clock::WallTime time);

// What the session report keeps of a recorded row: what the machine had no source for is
// absent there, whatever marker the row writes.
RecordedSample recordedSampleOf(const CurrentReadings& readings, Clock::WallTime time);

// Snapshot row `index` of the histories, dated `time`, indexed like the CPU history from the
// oldest; a shorter history (the sensors', the disk's, which pause while nothing needs their
// source) is lined up at its newest value, so every value keeps the poll it came from, and the
// polls before its first value read 0.0.
QString historyRow(const MonitorHistories& histories, int index, Clock::WallTime time);

// The spacing of the snapshot's history rows for a refresh interval: the interval itself when
// it is above 0, else 2 seconds.
double snapshotHistoryInterval(double refreshInterval);

// Header, current-readings row and one row per value of the CPU history, oldest first, the
// newest dated `now`; lines joined by a line feed, none after the last.
QString buildSnapshotCsv(const CurrentReadings& readings, const MonitorHistories& histories,
                         double intervalSeconds, Clock::WallTime now);
QString buildSnapshotCsv(const SystemMonitor& monitor, Clock::WallTime now);
