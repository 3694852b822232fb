#pragma once

#include "core/SettingRules.h"
#include "menubar/MenuBarItemConfig.h"
#include "menubar/MenuBarItemList.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QVector>

#include <optional>

// An sRGB colour with opacity 1; the windows and the renderer turn it into their own type.
struct AccentColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    bool operator==(const AccentColor&) const = default;
};

// The accent colour a graphColor name stands for; names match exactly (case-sensitive), and
// any other name gives purple.
AccentColor accentColorNamed(const QString& name);

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

class LoginItem;
class UserDefaults;

class SettingsReader;

// The status item's list and the older per-metric switches as stored.
menubar::StoredMenuBarSettings readStoredMenuBarSettings(const SettingsReader& stored);

// Every user preference, loaded once at start with a default for each and written back the
// moment it changes. A setter given the value already held does nothing at all: it writes and
// announces nothing. Each property has its own change signal, emitted after the new value is
// stored and written; a change to what the status item shows emits statusItemLookChanged()
// just before it.
class AppSettings : public QObject {
    Q_OBJECT
public:
    AppSettings(UserDefaults& defaults, LoginItem& loginItem, QObject* parent = nullptr);

    // The stored settings that broke a rule of the Settings window when the store was made and
    // were left for their defaults (each is written to the log).
    const QVector<IgnoredSetting>& ignoredAtLoad() const { return ignoredAtLoad_; }

    double refreshInterval() const { return refreshInterval_; }
    // Anything but a finite positive number is taken as 2 seconds; any other is taken as it is
    // (the sampling tool's own interval), while a stored one must be one the Settings window
    // offers. A change empties the monitor's histories.
    void setRefreshInterval(double seconds);

    bool launchAtLogin() const { return launchAtLogin_; }
    void setLaunchAtLogin(bool enabled);

    QString graphColor() const { return graphColor_; }
    void setGraphColor(const QString& name);  // the status item's look changes
    AccentColor accentColor() const;

    const QVector<MenuBarItemConfig>& menuBarItems() const { return menuBarItems_; }
    // Saves; the status item's look changes; a metric repeated in `items` keeps its first entry.
    void setMenuBarItems(const QVector<MenuBarItemConfig>& items);
    void saveMenuBarItems();
    // The Settings list's edits, by row.
    void setMenuBarItemEnabled(int index, bool enabled);
    void setMenuBarItemDisplayMode(int index, MetricDisplayMode mode);
    void moveMenuBarItemUp(int index);
    void moveMenuBarItemDown(int index);

    double menuBarPillOpacity() const { return menuBarPillOpacity_; }
    void setMenuBarPillOpacity(double opacity);
    bool menuBarColorCoded() const { return menuBarColorCoded_; }
    void setMenuBarColorCoded(bool colorCoded);
    int menuBarSparklineWidth() const { return menuBarSparklineWidth_; }
    void setMenuBarSparklineWidth(int points);

    StatusItemMode statusItemMode() const { return statusItemMode_; }
    void setStatusItemMode(StatusItemMode mode);  // the status item's look changes
    StatusItemShape statusItemShape() const { return statusItemShape_; }
    void setStatusItemShape(StatusItemShape shape);  // the status item's look changes
    // Top-left corner of the status strip, in global coordinates; nothing until it is moved.
    std::optional<QPoint> statusStripPosition() const { return statusStripPosition_; }
    void setStatusStripPosition(QPoint topLeft);

    bool compactShowCPU() const { return compactShowCPU_; }
    void setCompactShowCPU(bool shown);
    bool compactShowRAM() const { return compactShowRAM_; }
    void setCompactShowRAM(bool shown);
    bool compactShowNetwork() const { return compactShowNetwork_; }
    void setCompactShowNetwork(bool shown);
    bool compactShowGPU() const { return compactShowGPU_; }
    void setCompactShowGPU(bool shown);
    bool compactShowDisk() const { return compactShowDisk_; }
    void setCompactShowDisk(bool shown);
    bool compactShowBattery() const { return compactShowBattery_; }
    void setCompactShowBattery(bool shown);
    bool compactShowProcesses() const { return compactShowProcesses_; }
    void setCompactShowProcesses(bool shown);

    bool alertsEnabled() const { return alertsEnabled_; }
    void setAlertsEnabled(bool enabled);
    double alertCPUTempThreshold() const { return alertCPUTempThreshold_; }
    void setAlertCPUTempThreshold(double celsius);
    double alertGPUTempThreshold() const { return alertGPUTempThreshold_; }
    void setAlertGPUTempThreshold(double celsius);
    double alertSSDTempThreshold() const { return alertSSDTempThreshold_; }
    void setAlertSSDTempThreshold(double celsius);

    bool overlayShowCPU() const { return overlayShowCPU_; }
    void setOverlayShowCPU(bool shown);
    bool overlayShowRAM() const { return overlayShowRAM_; }
    void setOverlayShowRAM(bool shown);
    bool overlayShowNetwork() const { return overlayShowNetwork_; }
    void setOverlayShowNetwork(bool shown);
    bool overlayShowGPU() const { return overlayShowGPU_; }
    void setOverlayShowGPU(bool shown);
    bool overlayShowDisk() const { return overlayShowDisk_; }
    void setOverlayShowDisk(bool shown);
    bool overlayShowBattery() const { return overlayShowBattery_; }
    void setOverlayShowBattery(bool shown);
    bool overlayShowProcesses() const { return overlayShowProcesses_; }
    void setOverlayShowProcesses(bool shown);

signals:
    // After a change to what the status item shows or how: its faces, shape, colours and
    // list of metrics.
    void statusItemLookChanged();

    // One per property, named after it.
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
    enum class Look { unchanged, changed };
    // Unless `field` already holds `value`: stores it, writes it under `key`, emits `announce`
    // and, when `look` says so, statusItemLookChanged().
    template <typename T>
    void assign(T& field, const T& value, const QString& key, void (AppSettings::*announce)(),
                Look look = Look::unchanged);

    UserDefaults& defaults_;
    LoginItem& loginItem_;

    QVector<IgnoredSetting> ignoredAtLoad_;
    double refreshInterval_ = 2.0;
    bool launchAtLogin_ = false;
    QString graphColor_ = QStringLiteral("purple");
    QVector<MenuBarItemConfig> menuBarItems_;
    double menuBarPillOpacity_ = 0.85;
    bool menuBarColorCoded_ = true;
    int menuBarSparklineWidth_ = 30;
    StatusItemMode statusItemMode_ = StatusItemMode::automatic;
    StatusItemShape statusItemShape_ = StatusItemShape::automatic;
    std::optional<QPoint> statusStripPosition_;
    bool compactShowCPU_ = true;
    bool compactShowRAM_ = true;
    bool compactShowNetwork_ = true;
    bool compactShowGPU_ = true;
    bool compactShowDisk_ = true;
    bool compactShowBattery_ = true;
    bool compactShowProcesses_ = true;
    bool alertsEnabled_ = false;
    double alertCPUTempThreshold_ = 95.0;
    double alertGPUTempThreshold_ = 95.0;
    double alertSSDTempThreshold_ = 70.0;
    bool overlayShowCPU_ = true;
    bool overlayShowRAM_ = true;
    bool overlayShowNetwork_ = true;
    bool overlayShowGPU_ = true;
    bool overlayShowDisk_ = true;
    bool overlayShowBattery_ = true;
    bool overlayShowProcesses_ = true;
};
