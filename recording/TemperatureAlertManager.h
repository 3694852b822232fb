#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "platform/DesktopNotifier.h"

#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

// Notifies the user when the CPU, GPU or SSD temperature reaches its threshold, then stays
// quiet for that sensor for the cooldown. A reading that falls back below the threshold does
// not shorten the cooldown: it always counts from the previous notification.
class TemperatureAlertManager final : public TemperatureAlerter {
public:
    static constexpr std::chrono::seconds cooldown{300};

    // `clock` must outlive the manager.
    TemperatureAlertManager(const Clock& clock, std::unique_ptr<DesktopNotifier> notifier);

    // Checks "cpuTemp", "gpuTemp" and "ssdTemp" in that order against the thresholds the
    // settings hold now. Does nothing, and leaves every cooldown as it was, while alerts are
    // disabled.
    void checkAlerts(const SensorStats& sensors, const AppSettings& settings) override;

private:
    void checkSensor(const QString& key, std::optional<double> value, const QString& displayName,
                     double threshold);

    const Clock& clock_;
    std::unique_ptr<DesktopNotifier> notifier_;
    // Monotonic, so a calendar change neither silences alerts nor repeats them early.
    std::map<QString, Clock::SteadyTime> lastAlertTime_;
};
