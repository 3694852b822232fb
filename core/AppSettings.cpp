#include "core/AppSettings.h"

#include "core/LoginItem.h"
#include "core/NotificationCenter.h"
#include "core/UserDefaults.h"
#include "menubar/MenuBarItemCodec.h"
#include "menubar/MenuBarItemList.h"

#include <QJsonObject>

#include <array>
#include <cmath>
#include <utility>

namespace {

namespace key {
const QString refreshInterval = QStringLiteral("refreshInterval");
const QString launchAtLogin = QStringLiteral("launchAtLogin");
const QString graphColor = QStringLiteral("graphColor");
const QString menuBarPillOpacity = QStringLiteral("menuBarPillOpacity");
const QString menuBarColorCoded = QStringLiteral("menuBarColorCoded");
const QString menuBarSparklineWidth = QStringLiteral("menuBarSparklineWidth");
const QString statusItemMode = QStringLiteral("statusItemMode");
const QString statusStripPosition = QStringLiteral("statusStripPosition");
const QString compactShowCPU = QStringLiteral("compactShowCPU");
const QString compactShowRAM = QStringLiteral("compactShowRAM");
const QString compactShowNetwork = QStringLiteral("compactShowNetwork");
const QString compactShowGPU = QStringLiteral("compactShowGPU");
const QString compactShowDisk = QStringLiteral("compactShowDisk");
const QString compactShowBattery = QStringLiteral("compactShowBattery");
const QString compactShowProcesses = QStringLiteral("compactShowProcesses");
const QString alertsEnabled = QStringLiteral("alertsEnabled");
const QString alertCPUTempThreshold = QStringLiteral("alertCPUTempThreshold");
const QString alertGPUTempThreshold = QStringLiteral("alertGPUTempThreshold");
const QString alertSSDTempThreshold = QStringLiteral("alertSSDTempThreshold");
const QString overlayShowCPU = QStringLiteral("overlayShowCPU");
const QString overlayShowRAM = QStringLiteral("overlayShowRAM");
const QString overlayShowNetwork = QStringLiteral("overlayShowNetwork");
const QString overlayShowGPU = QStringLiteral("overlayShowGPU");
const QString overlayShowDisk = QStringLiteral("overlayShowDisk");
const QString overlayShowBattery = QStringLiteral("overlayShowBattery");
const QString overlayShowProcesses = QStringLiteral("overlayShowProcesses");
}  // namespace key

constexpr double defaultRefreshInterval = 2.0;

// A zero, negative or non-finite interval would make the poll loop spin or never wake.
double usableRefreshInterval(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : defaultRefreshInterval;
}

struct NamedColor {
    const char* name;
    AccentColor color;
};

constexpr AccentColor purple{0.545, 0.361, 0.965};

constexpr std::array<NamedColor, 8> accentColors{{
    {"purple", purple},
    {"blue", {0.294, 0.478, 0.965}},
    {"green", {0.302, 0.753, 0.62}},
    {"teal", {0.247, 0.714, 0.812}},
    {"orange", {0.918, 0.545, 0.255}},
    {"pink", {0.918, 0.357, 0.545}},
    {"red", {0.89, 0.298, 0.298}},
    {"yellow", {0.91, 0.788, 0.278}},
}};

constexpr std::array<std::pair<StatusItemMode, const char*>, 4> statusItemModeNames{{
    {StatusItemMode::automatic, "automatic"},
    {StatusItemMode::tray, "tray"},
    {StatusItemMode::strip, "strip"},
    {StatusItemMode::trayAndStrip, "trayAndStrip"},
}};

std::optional<QPoint> pointFromJson(const std::optional<QJsonValue>& value) {
    if (!value || !value->isObject()) {
        return std::nullopt;
    }
    const QJsonValue x = value->toObject().value(QStringLiteral("x"));
    const QJsonValue y = value->toObject().value(QStringLiteral("y"));
    if (!x.isDouble() || !y.isDouble()) {
        return std::nullopt;
    }
    return QPoint(x.toInt(), y.toInt());
}

}  // namespace

menubar::StoredMenuBarSettings readStoredMenuBarSettings(const SettingsReader& stored) {
    return {stored.value(menubar::itemsKey), stored.boolValue(menubar::legacyShowCPUKey),
            stored.boolValue(menubar::legacyShowRAMKey),
            stored.boolValue(menubar::legacyShowNetworkKey)};
}

QString rawValue(StatusItemMode mode) {
    for (const auto& [candidate, name] : statusItemModeNames) {
        if (candidate == mode) {
            return QString::fromLatin1(name);
        }
    }
    return QStringLiteral("automatic");
}

std::optional<StatusItemMode> statusItemModeFromRawValue(const QString& raw) {
    for (const auto& [mode, name] : statusItemModeNames) {
        if (raw == QLatin1String(name)) {
            return mode;
        }
    }
    return std::nullopt;
}

AppSettings::AppSettings(UserDefaults& defaults, NotificationCenter& center, LoginItem& loginItem,
                         QObject* parent)
    : QObject(parent), defaults_(defaults), center_(center), loginItem_(loginItem) {
    load();
}

void AppSettings::load() {
    // A missing key reads as 0, which is not a usable interval either.
    refreshInterval_ =
        usableRefreshInterval(defaults_.doubleValue(key::refreshInterval).value_or(0));
    launchAtLogin_ = defaults_.boolValue(key::launchAtLogin).value_or(false);
    graphColor_ = defaults_.stringValue(key::graphColor).value_or(QStringLiteral("purple"));
    menuBarItems_ = menubar::load(readStoredMenuBarSettings(defaults_));
    menuBarPillOpacity_ = defaults_.doubleValue(key::menuBarPillOpacity).value_or(0.85);
    menuBarColorCoded_ = defaults_.boolValue(key::menuBarColorCoded).value_or(true);
    menuBarSparklineWidth_ = defaults_.integerValue(key::menuBarSparklineWidth).value_or(30);
    statusItemMode_ =
        statusItemModeFromRawValue(defaults_.stringValue(key::statusItemMode).value_or(QString()))
            .value_or(StatusItemMode::automatic);
    statusStripPosition_ = pointFromJson(defaults_.value(key::statusStripPosition));
    alertsEnabled_ = defaults_.boolValue(key::alertsEnabled).value_or(false);
    alertCPUTempThreshold_ = defaults_.doubleValue(key::alertCPUTempThreshold).value_or(95.0);
    alertGPUTempThreshold_ = defaults_.doubleValue(key::alertGPUTempThreshold).value_or(95.0);
    alertSSDTempThreshold_ = defaults_.doubleValue(key::alertSSDTempThreshold).value_or(70.0);

    const std::array<std::pair<const QString*, bool AppSettings::*>, 14> sectionSwitches{{
        {&key::compactShowCPU, &AppSettings::compactShowCPU_},
        {&key::compactShowRAM, &AppSettings::compactShowRAM_},
        {&key::compactShowNetwork, &AppSettings::compactShowNetwork_},
        {&key::compactShowGPU, &AppSettings::compactShowGPU_},
        {&key::compactShowDisk, &AppSettings::compactShowDisk_},
        {&key::compactShowBattery, &AppSettings::compactShowBattery_},
        {&key::compactShowProcesses, &AppSettings::compactShowProcesses_},
        {&key::overlayShowCPU, &AppSettings::overlayShowCPU_},
        {&key::overlayShowRAM, &AppSettings::overlayShowRAM_},
        {&key::overlayShowNetwork, &AppSettings::overlayShowNetwork_},
        {&key::overlayShowGPU, &AppSettings::overlayShowGPU_},
        {&key::overlayShowDisk, &AppSettings::overlayShowDisk_},
        {&key::overlayShowBattery, &AppSettings::overlayShowBattery_},
        {&key::overlayShowProcesses, &AppSettings::overlayShowProcesses_},
    }};
    for (const auto& [switchKey, field] : sectionSwitches) {
        this->*field = defaults_.boolValue(*switchKey).value_or(true);
    }
}

void AppSettings::persist(const QString& key, const QJsonValue& value,
                          const QString& notification) {
    defaults_.set(key, value);
    if (!notification.isEmpty()) {
        center_.post(notification);
    }
    emit changed();
}

void AppSettings::setRefreshInterval(double seconds) {
    refreshInterval_ = usableRefreshInterval(seconds);
    persist(key::refreshInterval, refreshInterval_, notification::historyDidReset);
}

void AppSettings::setLaunchAtLogin(bool enabled) {
    launchAtLogin_ = enabled;
    defaults_.set(key::launchAtLogin, enabled);
    // The switch keeps the requested state even when the desktop refuses.
    loginItem_.setEnabled(enabled);
    emit changed();
}

void AppSettings::setGraphColor(const QString& name) {
    graphColor_ = name;
    persist(key::graphColor, name, notification::settingsDidChange);
}

AccentColor AppSettings::accentColor() const {
    for (const auto& [name, color] : accentColors) {
        if (graphColor_ == QLatin1String(name)) {
            return color;
        }
    }
    return purple;
}

void AppSettings::setMenuBarItems(const QVector<MenuBarItemConfig>& items) {
    menuBarItems_ = menubar::withoutRepeatedMetrics(items);
    saveMenuBarItems();
    center_.post(notification::settingsDidChange);
    emit changed();
}

void AppSettings::saveMenuBarItems() {
    defaults_.set(menubar::itemsKey, encodeMenuBarItems(menuBarItems_));
}

void AppSettings::setMenuBarItemEnabled(int index, bool enabled) {
    auto items = menuBarItems_;
    if (menubar::setEnabled(items, index, enabled)) {
        setMenuBarItems(items);
    }
}

void AppSettings::setMenuBarItemDisplayMode(int index, MetricDisplayMode mode) {
    auto items = menuBarItems_;
    if (menubar::setDisplayMode(items, index, mode)) {
        setMenuBarItems(items);
    }
}

// A reorder assigns the list (which saves and posts) and then saves and posts once more, as
// the Settings list has always done; both steps are idempotent.
void AppSettings::moveMenuBarItemUp(int index) {
    auto items = menuBarItems_;
    if (menubar::moveUp(items, index)) {
        setMenuBarItems(items);
        saveMenuBarItems();
        center_.post(notification::settingsDidChange);
    }
}

void AppSettings::moveMenuBarItemDown(int index) {
    auto items = menuBarItems_;
    if (menubar::moveDown(items, index)) {
        setMenuBarItems(items);
        saveMenuBarItems();
        center_.post(notification::settingsDidChange);
    }
}

void AppSettings::setMenuBarPillOpacity(double opacity) {
    menuBarPillOpacity_ = opacity;
    persist(key::menuBarPillOpacity, opacity, notification::settingsDidChange);
}

void AppSettings::setMenuBarColorCoded(bool colorCoded) {
    menuBarColorCoded_ = colorCoded;
    persist(key::menuBarColorCoded, colorCoded, notification::settingsDidChange);
}

void AppSettings::setMenuBarSparklineWidth(int points) {
    menuBarSparklineWidth_ = points;
    persist(key::menuBarSparklineWidth, points, notification::settingsDidChange);
}

void AppSettings::setStatusItemMode(StatusItemMode mode) {
    statusItemMode_ = mode;
    persist(key::statusItemMode, rawValue(mode), notification::settingsDidChange);
}

void AppSettings::setStatusStripPosition(QPoint topLeft) {
    statusStripPosition_ = topLeft;
    persist(key::statusStripPosition, QJsonObject{{"x", topLeft.x()}, {"y", topLeft.y()}});
}

void AppSettings::setCompactShowCPU(bool shown) {
    compactShowCPU_ = shown;
    persist(key::compactShowCPU, shown);
}

void AppSettings::setCompactShowRAM(bool shown) {
    compactShowRAM_ = shown;
    persist(key::compactShowRAM, shown);
}

void AppSettings::setCompactShowNetwork(bool shown) {
    compactShowNetwork_ = shown;
    persist(key::compactShowNetwork, shown);
}

void AppSettings::setCompactShowGPU(bool shown) {
    compactShowGPU_ = shown;
    persist(key::compactShowGPU, shown);
}

void AppSettings::setCompactShowDisk(bool shown) {
    compactShowDisk_ = shown;
    persist(key::compactShowDisk, shown);
}

void AppSettings::setCompactShowBattery(bool shown) {
    compactShowBattery_ = shown;
    persist(key::compactShowBattery, shown);
}

void AppSettings::setCompactShowProcesses(bool shown) {
    compactShowProcesses_ = shown;
    persist(key::compactShowProcesses, shown);
}

void AppSettings::setAlertsEnabled(bool enabled) {
    alertsEnabled_ = enabled;
    persist(key::alertsEnabled, enabled);
}

void AppSettings::setAlertCPUTempThreshold(double celsius) {
    alertCPUTempThreshold_ = celsius;
    persist(key::alertCPUTempThreshold, celsius);
}

void AppSettings::setAlertGPUTempThreshold(double celsius) {
    alertGPUTempThreshold_ = celsius;
    persist(key::alertGPUTempThreshold, celsius);
}

void AppSettings::setAlertSSDTempThreshold(double celsius) {
    alertSSDTempThreshold_ = celsius;
    persist(key::alertSSDTempThreshold, celsius);
}

void AppSettings::setOverlayShowCPU(bool shown) {
    overlayShowCPU_ = shown;
    persist(key::overlayShowCPU, shown);
}

void AppSettings::setOverlayShowRAM(bool shown) {
    overlayShowRAM_ = shown;
    persist(key::overlayShowRAM, shown);
}

void AppSettings::setOverlayShowNetwork(bool shown) {
    overlayShowNetwork_ = shown;
    persist(key::overlayShowNetwork, shown);
}

void AppSettings::setOverlayShowGPU(bool shown) {
    overlayShowGPU_ = shown;
    persist(key::overlayShowGPU, shown);
}

void AppSettings::setOverlayShowDisk(bool shown) {
    overlayShowDisk_ = shown;
    persist(key::overlayShowDisk, shown);
}

void AppSettings::setOverlayShowBattery(bool shown) {
    overlayShowBattery_ = shown;
    persist(key::overlayShowBattery, shown);
}

void AppSettings::setOverlayShowProcesses(bool shown) {
    overlayShowProcesses_ = shown;
    persist(key::overlayShowProcesses, shown);
}
