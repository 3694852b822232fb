#include "core/SystemMonitor.h"

#include "core/AppSettings.h"
#include "core/CancellableSleep.h"
#include "core/Clock.h"

#include <QPointer>

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace std::chrono_literals;

struct SystemMonitor::LoopControl {
    LoopControl(Clock& clock, SystemMonitor* owner) : sleeper(clock), monitor(owner) {}
    SleepInterrupter sleeper;
    bool cancelled = false;
    SystemMonitor* monitor;  // cleared when the monitor goes away
};

namespace {

constexpr auto kFirstPollDelay = 50ms;
constexpr auto kSecondPollDelay = 800ms;
constexpr double kFallbackIntervalSeconds = 2.0;
// Longer waits would not fit a nanosecond count; no sane interval comes near this.
constexpr double kLongestIntervalSeconds = 24.0 * 3600.0;

std::chrono::nanoseconds waitForInterval(double seconds) {
    if (!(seconds > 0)) {
        seconds = kFallbackIntervalSeconds;
    }
    seconds = std::min(seconds, kLongestIntervalSeconds);
    return std::chrono::nanoseconds(static_cast<std::int64_t>(std::llround(seconds * 1e9)));
}

double valueOrZero(const std::optional<double>& value) {
    return value.value_or(0.0);
}

}  // namespace

SystemMonitor::SystemMonitor(AppSettings& settings, Clock& clock, MonitorParts parts,
                             QObject* parent)
    : QObject(parent),
      settings_(settings),
      clock_(clock),
      parts_(std::move(parts)),
      standing_(demand_, settings_, *parts_.recorder),
      previousPoll_(clock_.steadyNow()) {
    session_.startTime = clock_.wallNow();
    connect(&demand_, &SamplingDemand::sourcesAdded, this, &SystemMonitor::requestPromptPoll);
    connect(&settings_, &AppSettings::refreshIntervalChanged, this, &SystemMonitor::resetHistory);
    // The disk sampler is owned here, so it never calls a monitor that is gone.
    parts_.disk->setScanListener(
        [this](const QVector<StorageCategory>& categories, const QVector<VolumeInfo>& volumes) {
            publishDiskScan(categories, volumes);
        });
}

SystemMonitor::~SystemMonitor() {
    // A loop outliving its monitor would wake forever with nothing to do: end it now, without
    // a last poll, while its clock is surely still there.
    for (const auto& loop : {loop_, stoppingLoop_.lock()}) {
        if (loop) {
            loop->monitor = nullptr;
            loop->cancelled = true;
            loop->sleeper.interruptNow();
        }
    }
}

void SystemMonitor::startPolling() {
    if (loop_) {
        return;
    }
    loop_ = std::make_shared<LoopControl>(clock_, this);
    previousPoll_ = clock_.steadyNow();  // the first poll stands for the time since the start
    pollingTask_.emplace(runLoop(loop_));
}

void SystemMonitor::stopPolling() {
    if (!loop_) {
        return;
    }
    loop_->cancelled = true;
    loop_->sleeper.interrupt();
    stoppingLoop_ = loop_;
    loop_.reset();
    pollingTask_.reset();
}

QCoro::Task<> SystemMonitor::runLoop(std::shared_ptr<LoopControl> control) {
    // The wait in progress when the loop is cancelled ends early and is followed by one last
    // poll, so a stop never leaves a half-applied round behind.
    for (int round = 0; round == 0 || !control->cancelled; ++round) {
        std::chrono::nanoseconds wait = kFirstPollDelay;
        if (round == 1) {
            wait = kSecondPollDelay;
        } else if (round > 1) {
            wait = waitForInterval(control->monitor ? control->monitor->settings_.refreshInterval()
                                                    : kFallbackIntervalSeconds);
        }
        if (round > 0 && control->monitor && control->monitor->promptPollPending_) {
            wait = std::chrono::nanoseconds::zero();  // a view opened while the poll ran
        }
        co_await control->sleeper.sleepFor(wait);
        if (control->monitor) {
            co_await control->monitor->poll();
        }
    }
}

QCoro::Task<> SystemMonitor::poll() {
    QPointer<SystemMonitor> alive(this);

    // Sources needed from here on are sampled by the next poll, which then follows at once.
    promptPollPending_ = false;
    const SourceSet wanted = demand_.needed();
    const auto sampleIf = [&wanted](MonitorSource source, auto& sampler) {
        using Stats = decltype(sampler.sample());
        return wanted.contains(source) ? std::optional<Stats>(sampler.sample()) : std::nullopt;
    };

    const double seconds = secondsSincePreviousPoll();
    const std::uint64_t diskScansBefore = diskScans_;
    const std::optional<CpuStats> cpu = sampleIf(MonitorSource::cpu, *parts_.cpu);
    const std::optional<RamStats> ram = sampleIf(MonitorSource::ram, *parts_.ram);
    const std::optional<NetworkStats> network = sampleIf(MonitorSource::network, *parts_.network);
    const std::optional<BatteryStats> battery = sampleIf(MonitorSource::battery, *parts_.battery);
    std::optional<DiskStats> disk = sampleIf(MonitorSource::disk, *parts_.disk);
    const std::optional<GpuStats> gpu = sampleIf(MonitorSource::gpu, *parts_.gpu);
    std::optional<ProcessStats> processes;
    if (wanted.contains(MonitorSource::processes)) {
        processes = co_await parts_.processes->sample();
        if (!alive) {
            co_return;
        }
    }

    if (cpu) {
        cpu_ = *cpu;
    }
    if (ram) {
        ram_ = *ram;
    }
    if (network) {
        network_ = *network;
    }
    if (battery) {
        battery_ = *battery;
    }
    if (disk) {
        if (diskScans_ != diskScansBefore) {
            // A scan finished while the processes were sampled: its lists are newer than these.
            disk->categories = disk_.categories;
            disk->volumes = disk_.volumes;
        }
        disk_ = std::move(*disk);
        emit diskChanged();
    }
    if (gpu) {
        gpu_ = *gpu;
    }
    if (processes) {
        processes_ = std::move(*processes);
    }

    thermalState_ = parts_.thermal->read();

    const bool fetchSensors = helperAvailable_ && wanted.contains(MonitorSource::sensors);
    if (fetchSensors) {
        SensorStats sensors = co_await parts_.sensors->fetch();
        if (!alive) {
            co_return;
        }
        sensors_ = std::move(sensors);
        if (helperAvailable_) {  // the shell may have withdrawn it during the fetch
            setHelperState(parts_.sensors->helperState());
        }

        histories_.cpuTemp.append(valueOrZero(sensors_.cpuTempCelsius));
        histories_.gpuTemp.append(valueOrZero(sensors_.gpuTempCelsius));
        histories_.ssdTemp.append(valueOrZero(sensors_.ssdTempCelsius));
        histories_.memoryTemp.append(valueOrZero(sensors_.memoryTempCelsius));
        histories_.batteryTemp.append(valueOrZero(sensors_.batteryTempCelsius));
        histories_.systemPower.append(valueOrZero(sensors_.systemPowerWatts));
        histories_.chargerPower.append(valueOrZero(sensors_.chargerPowerWatts));
        histories_.fan0.append(sensors_.fans.isEmpty() ? 0.0 : sensors_.fans.first().rpm);

        parts_.alerts->checkAlerts(sensors_, settings_);
        session_.applyTemperatures(sensors_);
        widenSensorExtremes(sensorExtremes_, sensors_.channels);
    }
    // A running recording gets a row on every poll that sampled its columns; without the helper
    // its sensor columns show that nothing was measured, so a recording never runs while
    // writing nothing. A recording that began during this poll gets its first row from the
    // poll that follows at once, never from records that were not sampled.
    if (!parts_.recorder->isRecording() || wanted.containsAll(standing_sources::csvColumns)) {
        parts_.recorder->recordSample(*this);
    }

    if (cpu) {
        histories_.cpu.append(cpu->overall);
    }
    if (ram) {
        histories_.ram.append(memoryFraction(*ram));
    }
    if (network) {
        histories_.networkUp.append(network->uploadSpeed);
        histories_.networkDown.append(network->downloadSpeed);
    }
    if (gpu) {
        histories_.gpu.append(gpu->utilization);
    }
    if (battery) {
        histories_.battery.append(batteryFraction(*battery));
    }
    if (disk) {
        histories_.disk.append(diskFraction(disk_));
    }

    // The session keeps CPU, memory, network and GPU (standing_sources::session), so these
    // records are this poll's.
    session_.applyPoll(cpu_, ram_, network_, gpu_, thermalState_, seconds);

    if (battery) {
        parts_.batteryHealth->record(*battery);
    }
    emit statsUpdated();
    if (alive) {
        emit pollFinished();
    }
}

double SystemMonitor::secondsSincePreviousPoll() {
    const Clock::SteadyTime now = clock_.steadyNow();
    const double interval = settings_.refreshInterval();
    // Twice the longer of this interval and the last, so a suspended machine does not count
    // its sleep, while a new, shorter interval does not cut the wait that was already running.
    const double longest = 2 * std::max(interval, previousInterval_);
    const double seconds = std::clamp(secondsBetween(previousPoll_, now), 0.0, longest);
    previousPoll_ = now;
    previousInterval_ = interval;
    return seconds;
}

void SystemMonitor::requestPromptPoll() {
    if (loop_) {
        promptPollPending_ = true;
        loop_->sleeper.interrupt();
    }
}

void SystemMonitor::setHelperAvailable(bool available) {
    helperAvailable_ = available;
    if (!available) {
        setHelperState(HelperState::notInstalled);
    } else if (helperState_ == HelperState::notInstalled) {
        setHelperState(HelperState::notAskedYet);
    }
}

void SystemMonitor::setHelperState(HelperState state) {
    helperState_ = state;
}

void SystemMonitor::publishDiskScan(const QVector<StorageCategory>& categories,
                                    const QVector<VolumeInfo>& volumes) {
    ++diskScans_;
    disk_.categories = categories;
    disk_.volumes = volumes;
    emit diskChanged();
    emit statsUpdated();
}

void SystemMonitor::resetHistory() {
    histories_ = MonitorHistories{};
    emit historyReset();
    emit statsUpdated();
}
