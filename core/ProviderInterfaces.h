#pragma once

#include "core/SampleRecorder.h"
#include "core/SampleRecords.h"

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

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

using CpuSampler = Sampler<CpuStats>;
using RamSampler = Sampler<RamStats>;
using NetworkSampler = Sampler<NetworkStats>;
using BatterySampler = Sampler<BatteryStats>;
using GpuSampler = Sampler<GpuStats>;

// The disk's categories and other volumes come from slow background scans.
class DiskSampler : public Sampler<DiskStats> {
public:
    using ScanListener =
        std::function<void(const QVector<StorageCategory>&, const QVector<VolumeInfo>&)>;
    // `listener` runs on the main thread with the lists of each scan as it finishes.
    virtual void setScanListener(ScanListener listener) = 0;
};

// Runs off the main thread; the awaiting poll resumes on the main thread.
class ProcessSampler {
public:
    virtual ~ProcessSampler() = default;
    virtual QCoro::Task<ProcessStats> sample() = 0;
};

// How the sensor helper has answered.
enum class HelperState {
    notInstalled,  // no helper to ask: none confirmed, or its socket is missing
    notAskedYet,   // a helper is there and no fetch has finished since
    refused,       // the socket is there but gave no reading: refused, closed or garbled
    timedOut,      // the helper did not answer in time
    answering,     // the latest fetch got a reading
};

// Asks the privileged helper for one sensor record; the empty record when it cannot.
class SensorFetcher {
public:
    virtual ~SensorFetcher() = default;
    virtual QCoro::Task<SensorStats> fetch() = 0;
    // How the latest finished fetch went; notAskedYet before the first.
    virtual HelperState helperState() const = 0;
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

// The battery health log: fed by every poll, read by the battery views.
class BatteryHealthRecorder {
public:
    virtual ~BatteryHealthRecorder() = default;
    virtual void record(const BatteryStats& battery) = 0;
    // The logged health percentages, oldest first.
    virtual QVector<int> healthHistory() const = 0;
    // "4mo ago: 98% → now: 95%" once the log spans at least 30 days; absent before.
    virtual std::optional<QString> trendText() const = 0;
};
