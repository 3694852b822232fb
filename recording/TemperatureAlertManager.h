#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "platform/DesktopNotifier.h"

#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

// Notifies the user when the CPU, GPU or SSD temperature has stayed at or above its threshold
// for the settings' alert wait (at once when it is 0), then stays quiet for that sensor for
// the cooldown. A reading below the threshold, absent or not a number restarts the wait; it
// does not shorten the cooldown, which always counts from the previous notification.
class TemperatureAlertManager final : public TemperatureAlerter {
public:
    static constexpr std::chrono::seconds cooldown{300};

    // `clock` must outlive the manager.
    TemperatureAlertManager(const Clock& clock, std::unique_ptr<DesktopNotifier> notifier);

    // Checks "cpuTemp", "gpuTemp" and "ssdTemp" in that order against the thresholds the
    // settings hold now. Does nothing, and leaves every cooldown as it was, while alerts are
    // disabled; the waits restart then, since no reading was watched.
    void checkAlerts(const SensorStats& sensors, const AppSettings& settings) override;

private:
    void checkSensor(const QString& key, std::optional<double> value, const QString& displayName,
                     double threshold, std::chrono::seconds wait);

    const Clock& clock_;
    std::unique_ptr<DesktopNotifier> notifier_;
    // Monotonic, so a calendar change neither silences alerts nor repeats them early.
    std::map<QString, Clock::SteadyTime> lastAlertTime_;
    // Since when each sensor has been at or above its threshold, without a break.
    std::map<QString, Clock::SteadyTime> hotSince_;
};
