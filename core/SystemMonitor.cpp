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
      previousPoll_(clock_.steadyNow()) {
    session_.startTime = clock_.wallNow();
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
        co_await control->sleeper.sleepFor(wait);
        if (control->monitor) {
            co_await control->monitor->poll();
        }
    }
}

QCoro::Task<> SystemMonitor::poll() {
    QPointer<SystemMonitor> alive(this);

    const double seconds = secondsSincePreviousPoll();
    const std::uint64_t diskScansBefore = diskScans_;
    const CPUStats cpu = parts_.cpu->sample();
    const RAMStats ram = parts_.ram->sample();
    const NetworkStats network = parts_.network->sample();
    const BatteryStats battery = parts_.battery->sample();
    DiskStats disk = parts_.disk->sample();
    const GPUStats gpu = parts_.gpu->sample();
    ProcessStats processes = co_await parts_.processes->sample();
    if (!alive) {
        co_return;
    }

    cpu_ = cpu;
    ram_ = ram;
    network_ = network;
    battery_ = battery;
    if (diskScans_ != diskScansBefore) {
        // A scan finished while the processes were sampled: its lists are newer than these.
        disk.categories = disk_.categories;
        disk.volumes = disk_.volumes;
    }
    disk_ = disk;
    emit diskChanged();
    gpu_ = gpu;
    processes_ = std::move(processes);

    thermalState_ = parts_.thermal->read();

    if (helperAvailable_) {
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
    }
    // A running recording gets a row on every poll; without the helper its sensor columns
    // show that nothing was measured, so a recording never runs while writing nothing.
    parts_.recorder->recordSample(*this);

    histories_.cpu.append(cpu.overall);
    histories_.ram.append(memoryFraction(ram));
    histories_.networkUp.append(network.uploadSpeed);
    histories_.networkDown.append(network.downloadSpeed);
    histories_.gpu.append(gpu.utilization);
    histories_.battery.append(batteryFraction(battery));
    histories_.disk.append(diskFraction(disk));

    session_.applyPoll(cpu, ram, network, gpu, thermalState_, seconds);

    parts_.batteryHealth->record(battery);
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
