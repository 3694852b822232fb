#pragma once

#include "core/SampleRecords.h"

#include <QCoro/QCoroTask>

class AppSettings;
class SystemMonitor;

// The seams between the poll loop and the parts it drives. Each sampler returns a record and
// never fails: a platform failure shows as the documented empty or partial record.

template <typename Stats>
class Sampler {
public:
    virtual ~Sampler() = default;
    virtual Stats sample() = 0;
};

using CPUSampler = Sampler<CPUStats>;
using RAMSampler = Sampler<RAMStats>;
using NetworkSampler = Sampler<NetworkStats>;
using BatterySampler = Sampler<BatteryStats>;
using DiskSampler = Sampler<DiskStats>;
using GPUSampler = Sampler<GPUStats>;

// Runs off the main thread; the awaiting poll resumes on the main thread.
class ProcessSampler {
public:
    virtual ~ProcessSampler() = default;
    virtual QCoro::Task<ProcessStats> sample() = 0;
};

// Asks the privileged helper for one sensor record; the empty record when it cannot.
class SensorFetcher {
public:
    virtual ~SensorFetcher() = default;
    virtual QCoro::Task<SensorStats> fetch() = 0;
};

class ThermalStateReader {
public:
    virtual ~ThermalStateReader() = default;
    virtual ThermalState read() = 0;
};

class TemperatureAlerter {
public:
    virtual ~TemperatureAlerter() = default;
    virtual void checkAlerts(const SensorStats& sensors, const AppSettings& settings) = 0;
};

class SampleRecorder {
public:
    virtual ~SampleRecorder() = default;
    virtual void recordSample(const SystemMonitor& monitor) = 0;
};

class BatteryHealthRecorder {
public:
    virtual ~BatteryHealthRecorder() = default;
    virtual void record(const BatteryStats& battery) = 0;
};
