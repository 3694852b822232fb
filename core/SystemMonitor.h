#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "core/RingBuffer.h"
#include "core/SampleRecords.h"
#include "core/SamplingDemand.h"
#include "core/SensorExtremes.h"
#include "core/SessionSummary.h"
#include "core/StandingDemand.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

class AppSettings;

// Everything one poll drives. The monitor owns these; tests hand in fakes.
struct MonitorParts {
    std::unique_ptr<CpuSampler> cpu;
    std::unique_ptr<RamSampler> ram;
    std::unique_ptr<NetworkSampler> network;
    std::unique_ptr<BatterySampler> battery;
    std::unique_ptr<DiskSampler> disk;
    std::unique_ptr<GpuSampler> gpu;
    std::unique_ptr<ProcessSampler> processes;
    std::unique_ptr<ThermalStateReader> thermal;
    std::unique_ptr<SensorFetcher> sensors;
    std::unique_ptr<TemperatureAlerter> alerts;
    std::unique_ptr<SampleRecorder> recorder;
    std::unique_ptr<BatteryHealthRecorder> batteryHealth;
};

// The last 60 values of fifteen quantities, in the order the monitor keeps them. A history
// takes a value only from the polls that sampled its source: while nothing needs a source its
// history pauses (it holds no invented zeros), so histories may differ in length.
struct MonitorHistories {
    RingBuffer cpuTemp, gpuTemp, ssdTemp, memoryTemp, batteryTemp, systemPower, chargerPower, fan0;
    RingBuffer cpu, ram, networkUp, networkDown, gpu, battery, disk;
};

// The heart of the application: polls the providers on the main thread, publishes the newest
// records, keeps the histories and the session summary, and announces each change with the
// signals below. A poll samples only the sources `demand()` holds (the others keep their last
// record and emit nothing); a source that becomes needed brings the next poll forward to now.
// A change of the refresh interval empties the histories, since their points would no longer
// be evenly spaced.
class SystemMonitor : public QObject {
    Q_OBJECT
public:
    SystemMonitor(AppSettings& settings, Clock& clock, MonitorParts parts,
                  QObject* parent = nullptr);
    ~SystemMonitor() override;

    // Polls 0.05 s from now, again 0.8 s after that, then every refresh interval, each wait
    // starting when the previous poll has finished.
    void startPolling();
    // The wait in progress ends early, one last poll runs, and the loop ends.
    void stopPolling();
    bool isPolling() const { return loop_ != nullptr; }

    // One poll, start to finish.
    QCoro::Task<> poll();

    const CpuStats& cpu() const { return cpu_; }
    const RamStats& ram() const { return ram_; }
    const NetworkStats& network() const { return network_; }
    const BatteryStats& battery() const { return battery_; }
    const DiskStats& disk() const { return disk_; }
    const GpuStats& gpu() const { return gpu_; }
    const ProcessStats& processes() const { return processes_; }
    ThermalState thermalState() const { return thermalState_; }
    const SensorStats& sensors() const { return sensors_; }
    const SessionSummary& session() const { return session_; }
    // Each sensor reading's lowest and highest finite value over the polls that fetched
    // sensors, by its identity; kept, like the session's peaks, until the app quits.
    const QHash<QString, SensorExtremes>& sensorExtremes() const { return sensorExtremes_; }
    const MonitorHistories& histories() const { return histories_; }

    // The recorder the polls feed, with its state and change signals.
    SampleRecorder& recorder() { return *parts_.recorder; }
    const SampleRecorder& recorder() const { return *parts_.recorder; }

    // The battery health log, for the health trend of the battery views.
    const BatteryHealthRecorder& batteryHealth() const { return *parts_.batteryHealth; }

    // Whether the shell has confirmed the helper; only then do polls ask for sensors.
    bool helperAvailable() const { return helperAvailable_; }
    void setHelperAvailable(bool available);
    // notInstalled while the helper is not available, else how its latest fetch went.
    HelperState helperState() const { return helperState_; }

    const AppSettings& settings() const { return settings_; }
    MonitorParts& parts() { return parts_; }

    // What the polls sample: views, the shell and tools hold tokens for what they show.
    SamplingDemand& demand() { return demand_; }
    const SamplingDemand& demand() const { return demand_; }

signals:
    // A background disk scan or a poll stored a new disk record.
    void diskChanged();
    // A poll completed: every record, history and the session hold its figures. Once per poll.
    void pollFinished();
    // The histories were emptied (the refresh interval changed); statsUpdated follows.
    void historyReset();
    // What the status item shows may have changed: after every poll, history reset and
    // background disk scan.
    void statsUpdated();

private:
    struct LoopControl;

    void resetHistory();
    void publishDiskScan(const QVector<StorageCategory>& categories,
                         const QVector<VolumeInfo>& volumes);
    void setHelperState(HelperState state);
    void requestPromptPoll();
    // Seconds this poll stands for in the session's totals.
    double secondsSincePreviousPoll();
    static QCoro::Task<> runLoop(std::shared_ptr<LoopControl> control);

    AppSettings& settings_;
    Clock& clock_;
    MonitorParts parts_;
    SamplingDemand demand_;
    StandingDemand standing_;
    bool promptPollPending_ = false;  // a source became needed after this round's poll began

    CpuStats cpu_;
    RamStats ram_;
    NetworkStats network_;
    BatteryStats battery_;
    DiskStats disk_;
    GpuStats gpu_;
    ProcessStats processes_;
    ThermalState thermalState_ = ThermalState::nominal;
    SensorStats sensors_;
    bool helperAvailable_ = false;
    HelperState helperState_ = HelperState::notInstalled;
    MonitorHistories histories_;
    SessionSummary session_;
    QHash<QString, SensorExtremes> sensorExtremes_;
    Clock::SteadyTime previousPoll_;  // the monitor's creation before the first poll
    double previousInterval_ = 0;
    std::uint64_t diskScans_ = 0;  // background scans published so far

    std::shared_ptr<LoopControl> loop_;
    std::weak_ptr<LoopControl> stoppingLoop_;  // stopped, possibly still running its last poll
    std::optional<QCoro::Task<>> pollingTask_;
};
