#include "recording/TemperatureAlertManager.h"

#include "core/AppSettings.h"

#include <array>
#include <charconv>

namespace {

// printf's "%.<decimals>f" in the C locale, whatever the user's locale.
QString fixedDecimals(double value, int decimals) {
    std::array<char, 400> text{};  // room for any double in fixed notation
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return {};
    }
    return QString::fromLatin1(text.data(), end - text.data());
}

QString alertBody(double celsius, double threshold) {
    const QString degrees = QStringLiteral(u"\u00B0C");
    return fixedDecimals(celsius, 1) + u' ' + degrees + QStringLiteral(" exceeds ") +
           fixedDecimals(threshold, 0) + u' ' + degrees + QStringLiteral(" threshold");
}

}  // namespace

TemperatureAlertManager::TemperatureAlertManager(const Clock& clock,
                                                 std::unique_ptr<DesktopNotifier> notifier)
    : clock_(clock), notifier_(std::move(notifier)) {}

void TemperatureAlertManager::checkAlerts(const SensorStats& sensors, const AppSettings& settings) {
    if (!settings.alertsEnabled()) {
        return;
    }
    checkSensor(QStringLiteral("cpuTemp"), sensors.cpuTempCelsius,
                QStringLiteral("CPU Temperature"), settings.alertCPUTempThreshold());
    checkSensor(QStringLiteral("gpuTemp"), sensors.gpuTempCelsius,
                QStringLiteral("GPU Temperature"), settings.alertGPUTempThreshold());
    checkSensor(QStringLiteral("ssdTemp"), sensors.ssdTempCelsius,
                QStringLiteral("SSD Temperature"), settings.alertSSDTempThreshold());
}

void TemperatureAlertManager::checkSensor(const QString& key, std::optional<double> value,
                                          const QString& displayName, double threshold) {
    // Written as "not at or above" so that a not-a-number reading never alerts.
    if (!value || !(*value >= threshold)) {
        return;
    }
    const Clock::SteadyTime now = clock_.steadyNow();
    const auto last = lastAlertTime_.find(key);
    if (last != lastAlertTime_.end() && now - last->second < cooldown) {
        return;
    }
    lastAlertTime_[key] = now;
    notifier_->post({displayName + QStringLiteral(" Alert"), alertBody(*value, threshold)});
}
