#pragma once

#include "core/SettingRules.h"
#include "core/SettingsTable.h"
#include "status_list/StatusItemEntry.h"
#include "status_list/StatusItemList.h"

#include <QJsonValue>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

// Which faces show the status item: the desktop's tray, the status strip window, or both;
// automatic follows whether a tray is there.
enum class StatusItemMode { automatic, tray, strip, trayAndStrip };

// The persisted name of each mode ("automatic", "tray", "strip", "trayAndStrip").
QString rawValue(StatusItemMode mode);
std::optional<StatusItemMode> statusItemModeFromRawValue(const QString& raw);

// Which image a StatusNotifierItem host gets: automatic asks the host's kind (square cells or
// not); wide and square hold whatever the host is.
enum class StatusItemShape { automatic, wide, square };

// The persisted name of each shape ("automatic", "wide", "square").
QString rawValue(StatusItemShape shape);
std::optional<StatusItemShape> statusItemShapeFromRawValue(const QString& raw);

class SettingsFile;

class SettingsReader;

// The status item's list and the older per-metric switches as stored.
status_list::StoredStatusItemSettings readStoredStatusItemSettings(const SettingsReader& stored);

// Every user preference, loaded once at start with a default for each and written back the
// moment it changes; each is declared once, in the settings table (`core/SettingsTable.h`),
// and the typed accessors below only name their entry. A setter given the value already held
// does nothing at all: it writes and announces nothing. Each property has its own change
// signal, emitted after the new value is stored and written; a change to what the status item
// shows emits statusItemLookChanged() just before it.
class AppSettings : public QObject {
    Q_OBJECT
public:
    explicit AppSettings(SettingsFile& defaults, QObject* parent = nullptr);

    // The stored settings that were unusable when the store was made (of the wrong type, or
    // breaking a rule of the Settings window) and were left for their defaults; each is
    // written to the log.
    const QVector<IgnoredSetting>& ignoredAtLoad() const { return ignoredAtLoad_; }

    // A setting's current value as the store writes it; undefined while it has none.
    QJsonValue value(Setting setting) const;
    // Assigns `value` when the table takes it for `setting` (as the setter would, announcing
    // announcing a change); else changes nothing and says why.
    std::optional<QString> apply(Setting setting, const QJsonValue& value);

    double refreshInterval() const { return number(Setting::refreshInterval); }
    // Anything but a finite positive number is taken as 2 seconds; any other is taken as it is
    // (the sampling tool's own interval), while a stored one must be one the Settings window
    // offers. A change empties the monitor's histories.
    void setRefreshInterval(double seconds);

    bool launchAtLogin() const { return flag(Setting::launchAtLogin); }
    void setLaunchAtLogin(bool on) { assign(Setting::launchAtLogin, on); }

    QString graphColor() const { return held(Setting::graphColor).toString(); }
    void setGraphColor(const QString& name) { assign(Setting::graphColor, name); }

    const QVector<StatusItemEntry>& statusItemEntries() const { return statusItemEntries_; }
    // Saves and announces the status item's new look; a metric repeated in `items` keeps its first
    // entry.
    void setStatusItemEntries(const QVector<StatusItemEntry>& items);
    void saveStatusItemEntries();
    // The Settings list's edits, by row.
    void setStatusItemEnabled(int index, bool enabled);
    void setStatusItemDisplayMode(int index, MetricDisplayMode mode);
    void moveStatusItemUp(int index);
    void moveStatusItemDown(int index);

    double statusItemPillOpacity() const { return number(Setting::statusItemPillOpacity); }
    void setStatusItemPillOpacity(double opacity) {
        assign(Setting::statusItemPillOpacity, opacity);
    }
    bool statusItemColorCoded() const { return flag(Setting::statusItemColorCoded); }
    void setStatusItemColorCoded(bool on) { assign(Setting::statusItemColorCoded, on); }
    int statusItemSparklineWidth() const { return held(Setting::statusItemSparklineWidth).toInt(); }
    void setStatusItemSparklineWidth(int points) {
        assign(Setting::statusItemSparklineWidth, points);
    }

    StatusItemMode statusItemMode() const {
        return statusItemModeFromRawValue(held(Setting::statusItemMode).toString())
            .value_or(StatusItemMode::automatic);
    }
    void setStatusItemMode(StatusItemMode mode) { assign(Setting::statusItemMode, rawValue(mode)); }
    StatusItemShape statusItemShape() const {
        return statusItemShapeFromRawValue(held(Setting::statusItemShape).toString())
            .value_or(StatusItemShape::automatic);
    }
    void setStatusItemShape(StatusItemShape shape) {
        assign(Setting::statusItemShape, rawValue(shape));
    }
    // Top-left corner of the status strip, in global coordinates; nothing until it is moved.
    std::optional<QPoint> statusStripPosition() const;
    void setStatusStripPosition(QPoint topLeft);

    bool compactShowCpu() const { return flag(Setting::compactShowCpu); }
    void setCompactShowCpu(bool on) { assign(Setting::compactShowCpu, on); }
    bool compactShowRam() const { return flag(Setting::compactShowRam); }
    void setCompactShowRam(bool on) { assign(Setting::compactShowRam, on); }
    bool compactShowNetwork() const { return flag(Setting::compactShowNetwork); }
    void setCompactShowNetwork(bool on) { assign(Setting::compactShowNetwork, on); }
    bool compactShowGpu() const { return flag(Setting::compactShowGpu); }
    void setCompactShowGpu(bool on) { assign(Setting::compactShowGpu, on); }
    bool compactShowDisk() const { return flag(Setting::compactShowDisk); }
    void setCompactShowDisk(bool on) { assign(Setting::compactShowDisk, on); }
    bool compactShowBattery() const { return flag(Setting::compactShowBattery); }
    void setCompactShowBattery(bool on) { assign(Setting::compactShowBattery, on); }
    bool compactShowProcesses() const { return flag(Setting::compactShowProcesses); }
    void setCompactShowProcesses(bool on) { assign(Setting::compactShowProcesses, on); }

    bool alertsEnabled() const { return flag(Setting::alertsEnabled); }
    void setAlertsEnabled(bool on) { assign(Setting::alertsEnabled, on); }
    double alertCpuTempThreshold() const { return number(Setting::alertCpuTempThreshold); }
    void setAlertCpuTempThreshold(double c) { assign(Setting::alertCpuTempThreshold, c); }
    double alertGpuTempThreshold() const { return number(Setting::alertGpuTempThreshold); }
    void setAlertGpuTempThreshold(double c) { assign(Setting::alertGpuTempThreshold, c); }
    double alertSsdTempThreshold() const { return number(Setting::alertSsdTempThreshold); }
    void setAlertSsdTempThreshold(double c) { assign(Setting::alertSsdTempThreshold, c); }

    // How long a temperature stays above its threshold before its alert fires, in seconds:
    // 0 (at once), 10, 30 or 60; any other is refused and changes nothing.
    int alertSustainSeconds() const { return held(Setting::alertSustainSeconds).toInt(); }
    void setAlertSustainSeconds(int seconds) { apply(Setting::alertSustainSeconds, seconds); }

    // The user's names for sensor readings, by the reading's identity ("<chip>/<sensor>").
    QMap<QString, QString> sensorNames() const;
    // Names the reading `identity`; a name of blanks only (or none) removes its renaming. The
    // name is kept trimmed and cut to 64 characters; a new name beyond the 1024th, or an
    // identity that is empty or longer than 256 characters, is not kept.
    void setSensorName(const QString& identity, const QString& name);

    // The identities of the sensor readings the user hid, in the order they were hidden.
    QStringList hiddenSensors() const;
    // Hides or shows the reading `identity`, within the same bounds as the names.
    void setSensorHidden(const QString& identity, bool hidden);

    bool dashboardShowCpu() const { return flag(Setting::dashboardShowCpu); }
    void setDashboardShowCpu(bool on) { assign(Setting::dashboardShowCpu, on); }
    bool dashboardShowRam() const { return flag(Setting::dashboardShowRam); }
    void setDashboardShowRam(bool on) { assign(Setting::dashboardShowRam, on); }
    bool dashboardShowNetwork() const { return flag(Setting::dashboardShowNetwork); }
    void setDashboardShowNetwork(bool on) { assign(Setting::dashboardShowNetwork, on); }
    bool dashboardShowGpu() const { return flag(Setting::dashboardShowGpu); }
    void setDashboardShowGpu(bool on) { assign(Setting::dashboardShowGpu, on); }
    bool dashboardShowDisk() const { return flag(Setting::dashboardShowDisk); }
    void setDashboardShowDisk(bool on) { assign(Setting::dashboardShowDisk, on); }
    bool dashboardShowBattery() const { return flag(Setting::dashboardShowBattery); }
    void setDashboardShowBattery(bool on) { assign(Setting::dashboardShowBattery, on); }
    bool dashboardShowProcesses() const { return flag(Setting::dashboardShowProcesses); }
    void setDashboardShowProcesses(bool on) { assign(Setting::dashboardShowProcesses, on); }

signals:
    // After a change to what the status item shows or how: its faces, shape, colours and
    // list of metrics; emitted just before the property's own signal.
    void statusItemLookChanged();

    // One per property, named after its stored key; the settings table names each.
    void refreshIntervalChanged();
    void launchAtLoginChanged();
    void graphColorChanged();
    void statusItemEntriesChanged();
    void statusItemPillOpacityChanged();
    void statusItemColorCodedChanged();
    void statusItemSparklineWidthChanged();
    void compactShowCpuChanged();
    void compactShowRamChanged();
    void compactShowNetworkChanged();
    void compactShowGpuChanged();
    void compactShowDiskChanged();
    void compactShowBatteryChanged();
    void compactShowProcessesChanged();
    void alertsEnabledChanged();
    void alertCpuTempThresholdChanged();
    void alertGpuTempThresholdChanged();
    void alertSsdTempThresholdChanged();
    void dashboardShowCpuChanged();
    void dashboardShowRamChanged();
    void dashboardShowNetworkChanged();
    void dashboardShowGpuChanged();
    void dashboardShowDiskChanged();
    void dashboardShowBatteryChanged();
    void dashboardShowProcessesChanged();
    void statusItemModeChanged();
    void statusItemShapeChanged();
    void statusStripPositionChanged();
    void sensorNamesChanged();
    void hiddenSensorsChanged();
    void alertSustainSecondsChanged();

private:
    void load();
    const QJsonValue& held(Setting setting) const {
        return values_[static_cast<std::size_t>(setting)];
    }
    bool flag(Setting setting) const { return held(setting).toBool(); }
    double number(Setting setting) const { return held(setting).toDouble(); }
    // Unless `setting` already holds `value`: stores it, writes it under its key, then emits
    // statusItemLookChanged() where the table says so and its change signal.
    void assign(Setting setting, const QJsonValue& value);
    void announce(Setting setting);

    SettingsFile& defaults_;

    QVector<IgnoredSetting> ignoredAtLoad_;
    std::array<QJsonValue, settingCount> values_;
    QVector<StatusItemEntry> statusItemEntries_;
};
