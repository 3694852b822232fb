#pragma once

#include "core/CancellableSleep.h"
#include "core/SystemMonitor.h"

#include <chrono>
#include <functional>
#include <utility>

// Parts for a monitor under test: each returns whatever record the test sets and counts calls.
template <typename Stats>
class FakeSampler final : public Sampler<Stats> {
public:
    Stats sample() override {
        ++calls;
        return next;
    }
    Stats next{};
    int calls = 0;
};

// A disk sampler whose background scans finish when the test says.
class FakeDiskSampler final : public DiskSampler {
public:
    DiskStats sample() override {
        ++calls;
        return next;
    }
    void setScanListener(ScanListener listener) override { listener_ = std::move(listener); }
    void finishScan(const QVector<StorageCategory>& categories,
                    const QVector<VolumeInfo>& volumes) {
        next.categories = categories;
        next.volumes = volumes;
        listener_(categories, volumes);
    }
    DiskStats next;
    int calls = 0;

private:
    ScanListener listener_;
};

class FakeProcessSampler final : public ProcessSampler {
public:
    QCoro::Task<ProcessStats> sample() override {
        ++calls;
        if (whileSampling) {
            whileSampling();  // what the main loop does while the poll awaits this sample
        }
        co_return next;
    }
    ProcessStats next;
    int calls = 0;
    std::function<void()> whileSampling;
};

// Answers after `delay` of the clock's time, like a helper taking its time to reply.
class FakeSensorFetcher final : public SensorFetcher {
public:
    explicit FakeSensorFetcher(Clock& clock) : sleeper_(clock) {}
    QCoro::Task<SensorStats> fetch() override {
        ++calls;
        // Nothing of this object is touched after the wait: the monitor may be gone by then.
        SensorStats reply = next;
        if (delay.count() > 0) {
            co_await sleeper_.sleepFor(delay);
        }
        co_return reply;
    }
    HelperState helperState() const override { return state; }
    SensorStats next;
    HelperState state = HelperState::answering;
    std::chrono::nanoseconds delay{0};
    int calls = 0;

private:
    SleepInterrupter sleeper_;
};

class FakeThermalReader final : public ThermalStateReader {
public:
    ThermalState read() override { return next; }
    ThermalState next = ThermalState::nominal;
};

class FakeAlerter final : public TemperatureAlerter {
public:
    void checkAlerts(const SensorStats&, const AppSettings&) override { ++calls; }
    int calls = 0;
};

class FakeRecorder final : public SampleRecorder {
public:
    using SampleRecorder::setLastReport;  // a finished recording, as tests publish it
    using SampleRecorder::setRecording;
    void recordSample(const SystemMonitor& monitor) override {
        ++calls;
        if (onRecord) {
            onRecord(monitor);
        }
    }
    int calls = 0;
    std::function<void(const SystemMonitor&)> onRecord;
};

class FakeBatteryHealth final : public BatteryHealthRecorder {
public:
    void record(const BatteryStats& battery) override { received.append(battery); }
    QVector<int> healthHistory() const override { return history; }
    std::optional<QString> trendText() const override { return trend; }
    QVector<BatteryStats> received;
    QVector<int> history;
    std::optional<QString> trend;
};

// Keeps plain pointers to the fakes handed to the monitor, which owns them.
struct FakeParts {
    FakeSampler<CpuStats>* cpu;
    FakeSampler<RamStats>* ram;
    FakeSampler<NetworkStats>* network;
    FakeSampler<BatteryStats>* battery;
    FakeDiskSampler* disk;
    FakeSampler<GpuStats>* gpu;
    FakeProcessSampler* processes;
    FakeThermalReader* thermal;
    FakeSensorFetcher* sensors;
    FakeAlerter* alerts;
    FakeRecorder* recorder;
    FakeBatteryHealth* batteryHealth;

    static std::pair<MonitorParts, FakeParts> make(Clock& clock) {
        MonitorParts parts;
        FakeParts fakes{};
        parts.cpu = own(fakes.cpu);
        parts.ram = own(fakes.ram);
        parts.network = own(fakes.network);
        parts.battery = own(fakes.battery);
        parts.disk = own(fakes.disk);
        parts.gpu = own(fakes.gpu);
        parts.processes = own(fakes.processes);
        parts.thermal = own(fakes.thermal);
        auto sensors = std::make_unique<FakeSensorFetcher>(clock);
        fakes.sensors = sensors.get();
        parts.sensors = std::move(sensors);
        parts.alerts = own(fakes.alerts);
        parts.recorder = own(fakes.recorder);
        parts.batteryHealth = own(fakes.batteryHealth);
        return {std::move(parts), fakes};
    }

private:
    template <typename T>
    static std::unique_ptr<T> own(T*& raw) {
        auto owned = std::make_unique<T>();
        raw = owned.get();
        return owned;
    }
};
