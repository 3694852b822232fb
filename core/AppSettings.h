#pragma once

#include "core/SettingRules.h"
#include "core/SettingsTable.h"
#include "menubar/MenuBarItemConfig.h"
#include "menubar/MenuBarItemList.h"

#include <QJsonValue>
#include <QObject>
#include <QPoint>
#include <QString>
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

class UserDefaults;

class SettingsReader;

// The status item's list and the older per-metric switches as stored.
menubar::StoredMenuBarSettings readStoredMenuBarSettings(const SettingsReader& stored);

// Every user preference, loaded once at start with a default for each and written back the
// moment it changes; each is declared once, in the settings table (`core/SettingsTable.h`),
// and the typed accessors below only name their entry. A setter given the value already held
// does nothing at all: it writes and announces nothing. Each property has its own change
// signal, emitted after the new value is stored and written; a change to what the status item
// shows emits statusItemLookChanged() just before it.
class AppSettings : public QObject {
    Q_OBJECT
public:
    explicit AppSettings(UserDefaults& defaults, QObject* parent = nullptr);

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

    const QVector<MenuBarItemConfig>& menuBarItems() const { return menuBarItems_; }
    // Saves and announces the status item's new look; a metric repeated in `items` keeps its first
    // entry.
    void setMenuBarItems(const QVector<MenuBarItemConfig>& items);
    void saveMenuBarItems();
    // The Settings list's edits, by row.
    void setMenuBarItemEnabled(int index, bool enabled);
    void setMenuBarItemDisplayMode(int index, MetricDisplayMode mode);
    void moveMenuBarItemUp(int index);
    void moveMenuBarItemDown(int index);

    double menuBarPillOpacity() const { return number(Setting::menuBarPillOpacity); }
    void setMenuBarPillOpacity(double opacity) { assign(Setting::menuBarPillOpacity, opacity); }
    bool menuBarColorCoded() const { return flag(Setting::menuBarColorCoded); }
    void setMenuBarColorCoded(bool on) { assign(Setting::menuBarColorCoded, on); }
    int menuBarSparklineWidth() const { return held(Setting::menuBarSparklineWidth).toInt(); }
    void setMenuBarSparklineWidth(int points) { assign(Setting::menuBarSparklineWidth, points); }

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

    bool compactShowCPU() const { return flag(Setting::compactShowCPU); }
    void setCompactShowCPU(bool on) { assign(Setting::compactShowCPU, on); }
    bool compactShowRAM() const { return flag(Setting::compactShowRAM); }
    void setCompactShowRAM(bool on) { assign(Setting::compactShowRAM, on); }
    bool compactShowNetwork() const { return flag(Setting::compactShowNetwork); }
    void setCompactShowNetwork(bool on) { assign(Setting::compactShowNetwork, on); }
    bool compactShowGPU() const { return flag(Setting::compactShowGPU); }
    void setCompactShowGPU(bool on) { assign(Setting::compactShowGPU, on); }
    bool compactShowDisk() const { return flag(Setting::compactShowDisk); }
    void setCompactShowDisk(bool on) { assign(Setting::compactShowDisk, on); }
    bool compactShowBattery() const { return flag(Setting::compactShowBattery); }
    void setCompactShowBattery(bool on) { assign(Setting::compactShowBattery, on); }
    bool compactShowProcesses() const { return flag(Setting::compactShowProcesses); }
    void setCompactShowProcesses(bool on) { assign(Setting::compactShowProcesses, on); }

    bool alertsEnabled() const { return flag(Setting::alertsEnabled); }
    void setAlertsEnabled(bool on) { assign(Setting::alertsEnabled, on); }
    double alertCPUTempThreshold() const { return number(Setting::alertCPUTempThreshold); }
    void setAlertCPUTempThreshold(double c) { assign(Setting::alertCPUTempThreshold, c); }
    double alertGPUTempThreshold() const { return number(Setting::alertGPUTempThreshold); }
    void setAlertGPUTempThreshold(double c) { assign(Setting::alertGPUTempThreshold, c); }
    double alertSSDTempThreshold() const { return number(Setting::alertSSDTempThreshold); }
    void setAlertSSDTempThreshold(double c) { assign(Setting::alertSSDTempThreshold, c); }

    bool overlayShowCPU() const { return flag(Setting::overlayShowCPU); }
    void setOverlayShowCPU(bool on) { assign(Setting::overlayShowCPU, on); }
    bool overlayShowRAM() const { return flag(Setting::overlayShowRAM); }
    void setOverlayShowRAM(bool on) { assign(Setting::overlayShowRAM, on); }
    bool overlayShowNetwork() const { return flag(Setting::overlayShowNetwork); }
    void setOverlayShowNetwork(bool on) { assign(Setting::overlayShowNetwork, on); }
    bool overlayShowGPU() const { return flag(Setting::overlayShowGPU); }
    void setOverlayShowGPU(bool on) { assign(Setting::overlayShowGPU, on); }
    bool overlayShowDisk() const { return flag(Setting::overlayShowDisk); }
    void setOverlayShowDisk(bool on) { assign(Setting::overlayShowDisk, on); }
    bool overlayShowBattery() const { return flag(Setting::overlayShowBattery); }
    void setOverlayShowBattery(bool on) { assign(Setting::overlayShowBattery, on); }
    bool overlayShowProcesses() const { return flag(Setting::overlayShowProcesses); }
    void setOverlayShowProcesses(bool on) { assign(Setting::overlayShowProcesses, on); }

signals:
    // After a change to what the status item shows or how: its faces, shape, colours and
    // list of metrics; emitted just before the property's own signal.
    void statusItemLookChanged();

    // One per property, named after its stored key; the settings table names each.
    void refreshIntervalChanged();
    void launchAtLoginChanged();
    void graphColorChanged();
    void menuBarItemsChanged();
    void menuBarPillOpacityChanged();
    void menuBarColorCodedChanged();
    void menuBarSparklineWidthChanged();
    void compactShowCPUChanged();
    void compactShowRAMChanged();
    void compactShowNetworkChanged();
    void compactShowGPUChanged();
    void compactShowDiskChanged();
    void compactShowBatteryChanged();
    void compactShowProcessesChanged();
    void alertsEnabledChanged();
    void alertCPUTempThresholdChanged();
    void alertGPUTempThresholdChanged();
    void alertSSDTempThresholdChanged();
    void overlayShowCPUChanged();
    void overlayShowRAMChanged();
    void overlayShowNetworkChanged();
    void overlayShowGPUChanged();
    void overlayShowDiskChanged();
    void overlayShowBatteryChanged();
    void overlayShowProcessesChanged();
    void statusItemModeChanged();
    void statusItemShapeChanged();
    void statusStripPositionChanged();

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

    UserDefaults& defaults_;

    QVector<IgnoredSetting> ignoredAtLoad_;
    std::array<QJsonValue, settingCount> values_;
    QVector<MenuBarItemConfig> menuBarItems_;
};
