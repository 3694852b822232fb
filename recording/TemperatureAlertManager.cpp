#include "recording/TemperatureAlertManager.h"

#include "core/AppSettings.h"
#include "core/TextFormat.h"

namespace {

QString alertBody(double celsius, double threshold) {
    return temperatureText(celsius) + QStringLiteral(" exceeds ") + fixedText(threshold, 0) +
           QStringLiteral(u" \u00B0C threshold");
}

}  // namespace

TemperatureAlertManager::TemperatureAlertManager(const Clock& clock,
                                                 std::unique_ptr<DesktopNotifier> notifier)
    : clock_(clock), notifier_(std::move(notifier)) {}

void TemperatureAlertManager::checkAlerts(const SensorStats& sensors, const AppSettings& settings) {
    if (!settings.alertsEnabled()) {
        hotSince_.clear();
        return;
    }
    const std::chrono::seconds wait{settings.alertSustainSeconds()};
    checkSensor(QStringLiteral("cpuTemp"), sensors.cpuTempCelsius,
                QStringLiteral("CPU Temperature"), settings.alertCpuTempThreshold(), wait);
    checkSensor(QStringLiteral("gpuTemp"), sensors.gpuTempCelsius,
                QStringLiteral("GPU Temperature"), settings.alertGpuTempThreshold(), wait);
    checkSensor(QStringLiteral("ssdTemp"), sensors.ssdTempCelsius,
                QStringLiteral("SSD Temperature"), settings.alertSsdTempThreshold(), wait);
}

void TemperatureAlertManager::checkSensor(const QString& key, std::optional<double> value,
                                          const QString& displayName, double threshold,
                                          std::chrono::seconds wait) {
    // Written as "not at or above" so that a not-a-number reading never alerts.
    if (!value || !(*value >= threshold)) {
        hotSince_.erase(key);
        return;
    }
    const Clock::SteadyTime now = clock_.steadyNow();
    const Clock::SteadyTime since = hotSince_.try_emplace(key, now).first->second;
    if (now - since < wait) {
        return;
    }
    const auto last = lastAlertTime_.find(key);
    if (last != lastAlertTime_.end() && now - last->second < cooldown) {
        return;
    }
    lastAlertTime_[key] = now;
    notifier_->post({displayName + QStringLiteral(" Alert"), alertBody(*value, threshold)});
}
