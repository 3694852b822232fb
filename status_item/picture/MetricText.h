#pragma once

#include "core/SampleRecords.h"
#include "status_list/StatusItemEntry.h"

#include <QString>

// The latest records the status item draws from; views hold them by reference.
struct StatusRecords {
    const CpuStats& cpu;
    const RamStats& ram;
    const NetworkStats& network;
    const GpuStats& gpu;
    const BatteryStats& battery;
    const DiskStats& disk;
    const SensorStats& sensors;
};

enum class LevelColor { green, amber, red };

// "↑12 KB/s ↓1.5 MB/s" (full) or "↑12K ↓1M" (compact).
QString networkText(const NetworkStats& network, bool compact);

// "CPU", "RAM", ...; empty for the network, which shows arrows instead.
QString shortLabel(StatusMetric metric);
// Whether the machine gave the metric a reading: a desktop has no battery, some machines no
// GPU, and temperatures and fans need the helper and a sensor.
bool hasReading(StatusMetric metric, const StatusRecords& records);
// The value an entry shows: "12%", "54°", "2400", or "—" when there is no reading.
QString valueText(StatusMetric metric, const StatusRecords& records, bool compactNetwork);
// The fraction the level colour is judged on, 0 when there is no reading.
double colorFraction(StatusMetric metric, const StatusRecords& records);
LevelColor levelColor(StatusMetric metric, double fraction);
// What a text-only entry shows: "CPU 12%", or the full network text.
QString entryText(StatusMetric metric, const StatusRecords& records);
// The widest text an entry may show, with digits at their widest: "CPU 100%".
QString entryTextTemplate(StatusMetric metric);
