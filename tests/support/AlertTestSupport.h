#pragma once

#include "core/AppSettings.h"
#include "core/SettingsFile.h"
#include "platform/DesktopNotifier.h"

#include <QTemporaryDir>

#include <ostream>

// A settings store as on first run, kept in memory, with alerts switched on and the given
// thresholds, for tests of the temperature alerts.
class AlertSettings {
public:
    AlertSettings(double cpuThreshold = 95.0, double gpuThreshold = 95.0,
                  double ssdThreshold = 70.0)
        : defaults_(dir_.filePath(QStringLiteral("settings.json"))), store_(defaults_) {
        defaults_.keepChangesInMemory();
        store_.setAlertsEnabled(true);
        store_.setAlertCpuTempThreshold(cpuThreshold);
        store_.setAlertGpuTempThreshold(gpuThreshold);
        store_.setAlertSsdTempThreshold(ssdThreshold);
    }

    AppSettings& operator*() { return store_; }
    AppSettings* operator->() { return &store_; }

private:
    QTemporaryDir dir_;
    SettingsFile defaults_;
    AppSettings store_;
};

// Readable failures when notifications are compared.
inline void PrintTo(const DesktopNotification& notification, std::ostream* out) {
    *out << '"' << notification.title.toStdString() << "\" / \"" << notification.body.toStdString()
         << '"';
}
