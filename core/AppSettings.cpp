#include "core/AppSettings.h"

#include "core/LoginItem.h"
#include "core/SettingRules.h"
#include "core/UserDefaults.h"
#include "menubar/MenuBarItemCodec.h"
#include "menubar/MenuBarItemList.h"

#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <cmath>
#include <cstdio>
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
const QString statusItemShape = QStringLiteral("statusItemShape");
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

constexpr std::array<std::pair<StatusItemShape, const char*>, 3> statusItemShapeNames{{
    {StatusItemShape::automatic, "automatic"},
    {StatusItemShape::wide, "wide"},
    {StatusItemShape::square, "square"},
}};

template <typename Enum, std::size_t count>
QString nameOf(const std::array<std::pair<Enum, const char*>, count>& names, Enum value) {
    for (const auto& [candidate, name] : names) {
        if (candidate == value) {
            return QString::fromLatin1(name);
        }
    }
    return QString::fromLatin1(names.front().second);
}

template <typename Enum, std::size_t count>
std::optional<Enum> valueNamed(const std::array<std::pair<Enum, const char*>, count>& names,
                               const QString& raw) {
    for (const auto& [value, name] : names) {
        if (raw == QLatin1String(name)) {
            return value;
        }
    }
    return std::nullopt;
}

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
    return nameOf(statusItemModeNames, mode);
}

std::optional<StatusItemMode> statusItemModeFromRawValue(const QString& raw) {
    return valueNamed(statusItemModeNames, raw);
}

QString rawValue(StatusItemShape shape) {
    return nameOf(statusItemShapeNames, shape);
}

std::optional<StatusItemShape> statusItemShapeFromRawValue(const QString& raw) {
    return valueNamed(statusItemShapeNames, raw);
}

AppSettings::AppSettings(UserDefaults& defaults, LoginItem& loginItem, QObject* parent)
    : QObject(parent), defaults_(defaults), loginItem_(loginItem) {
    load();
}

void AppSettings::load() {
    // A value the Settings window would never allow (a hand edit, an older version) is left
    // for the default, and the log names it.
    ignoredAtLoad_ = settingsBreakingRules(defaults_);
    for (const IgnoredSetting& ignored : ignoredAtLoad_) {
        std::fprintf(stderr, "vantrel: ignored the stored setting %s: %s\n",
                     qPrintable(ignored.key), qPrintable(ignored.reason));
    }
    const auto interval = defaults_.doubleValue(key::refreshInterval);
    refreshInterval_ =
        interval && isOfferedRefreshInterval(*interval) ? *interval : defaultRefreshInterval;
    launchAtLogin_ = defaults_.boolValue(key::launchAtLogin).value_or(false);
    graphColor_ = defaults_.stringValue(key::graphColor).value_or(QStringLiteral("purple"));
    menuBarItems_ = menubar::load(readStoredMenuBarSettings(defaults_));
    menuBarPillOpacity_ = defaults_.doubleValue(key::menuBarPillOpacity).value_or(0.85);
    menuBarColorCoded_ = defaults_.boolValue(key::menuBarColorCoded).value_or(true);
    menuBarSparklineWidth_ = defaults_.integerValue(key::menuBarSparklineWidth).value_or(30);
    statusItemMode_ =
        statusItemModeFromRawValue(defaults_.stringValue(key::statusItemMode).value_or(QString()))
            .value_or(StatusItemMode::automatic);
    statusItemShape_ =
        statusItemShapeFromRawValue(defaults_.stringValue(key::statusItemShape).value_or(QString()))
            .value_or(StatusItemShape::automatic);
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

template <typename T>
void AppSettings::assign(T& field, const T& value, const QString& key,
                         void (AppSettings::*announce)(), Look look) {
    if (field == value) {
        return;
    }
    field = value;
    defaults_.set(key, QJsonValue(value));
    if (look == Look::changed) {
        emit statusItemLookChanged();
    }
    emit(this->*announce)();
}

void AppSettings::setRefreshInterval(double seconds) {
    assign(refreshInterval_, usableRefreshInterval(seconds), key::refreshInterval,
           &AppSettings::refreshIntervalChanged);
}

void AppSettings::setLaunchAtLogin(bool enabled) {
    if (launchAtLogin_ == enabled) {
        return;
    }
    launchAtLogin_ = enabled;
    defaults_.set(key::launchAtLogin, enabled);
    // The switch keeps the requested state even when the desktop refuses.
    loginItem_.setEnabled(enabled);
    emit launchAtLoginChanged();
}

void AppSettings::setGraphColor(const QString& name) {
    assign(graphColor_, name, key::graphColor, &AppSettings::graphColorChanged, Look::changed);
}

AccentColor accentColorNamed(const QString& name) {
    for (const auto& [known, color] : accentColors) {
        if (name == QLatin1String(known)) {
            return color;
        }
    }
    return purple;
}

AccentColor AppSettings::accentColor() const {
    return accentColorNamed(graphColor_);
}

void AppSettings::setMenuBarItems(const QVector<MenuBarItemConfig>& items) {
    const auto kept = menubar::withoutRepeatedMetrics(items);
    if (kept == menuBarItems_) {
        return;
    }
    menuBarItems_ = kept;
    saveMenuBarItems();
    emit statusItemLookChanged();
    emit menuBarItemsChanged();
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

// A reorder assigns the list (which saves and announces) and then saves and announces once more, as
// the Settings list has always done; both steps are idempotent.
void AppSettings::moveMenuBarItemUp(int index) {
    auto items = menuBarItems_;
    if (menubar::moveUp(items, index)) {
        setMenuBarItems(items);
        saveMenuBarItems();
        emit statusItemLookChanged();
    }
}

void AppSettings::moveMenuBarItemDown(int index) {
    auto items = menuBarItems_;
    if (menubar::moveDown(items, index)) {
        setMenuBarItems(items);
        saveMenuBarItems();
        emit statusItemLookChanged();
    }
}

void AppSettings::setMenuBarPillOpacity(double opacity) {
    assign(menuBarPillOpacity_, opacity, key::menuBarPillOpacity,
           &AppSettings::menuBarPillOpacityChanged, Look::changed);
}

void AppSettings::setMenuBarColorCoded(bool colorCoded) {
    assign(menuBarColorCoded_, colorCoded, key::menuBarColorCoded,
           &AppSettings::menuBarColorCodedChanged, Look::changed);
}

void AppSettings::setMenuBarSparklineWidth(int points) {
    assign(menuBarSparklineWidth_, points, key::menuBarSparklineWidth,
           &AppSettings::menuBarSparklineWidthChanged, Look::changed);
}

void AppSettings::setStatusItemMode(StatusItemMode mode) {
    if (statusItemMode_ == mode) {
        return;
    }
    statusItemMode_ = mode;
    defaults_.set(key::statusItemMode, rawValue(mode));
    emit statusItemLookChanged();
    emit statusItemModeChanged();
}

void AppSettings::setStatusItemShape(StatusItemShape shape) {
    if (statusItemShape_ == shape) {
        return;
    }
    statusItemShape_ = shape;
    defaults_.set(key::statusItemShape, rawValue(shape));
    emit statusItemLookChanged();
    emit statusItemShapeChanged();
}

void AppSettings::setStatusStripPosition(QPoint topLeft) {
    if (statusStripPosition_ == topLeft) {
        return;
    }
    statusStripPosition_ = topLeft;
    defaults_.set(key::statusStripPosition, QJsonObject{{"x", topLeft.x()}, {"y", topLeft.y()}});
    emit statusStripPositionChanged();
}

void AppSettings::setCompactShowCPU(bool shown) {
    assign(compactShowCPU_, shown, key::compactShowCPU, &AppSettings::compactShowCPUChanged);
}

void AppSettings::setCompactShowRAM(bool shown) {
    assign(compactShowRAM_, shown, key::compactShowRAM, &AppSettings::compactShowRAMChanged);
}

void AppSettings::setCompactShowNetwork(bool shown) {
    assign(compactShowNetwork_, shown, key::compactShowNetwork,
           &AppSettings::compactShowNetworkChanged);
}

void AppSettings::setCompactShowGPU(bool shown) {
    assign(compactShowGPU_, shown, key::compactShowGPU, &AppSettings::compactShowGPUChanged);
}

void AppSettings::setCompactShowDisk(bool shown) {
    assign(compactShowDisk_, shown, key::compactShowDisk, &AppSettings::compactShowDiskChanged);
}

void AppSettings::setCompactShowBattery(bool shown) {
    assign(compactShowBattery_, shown, key::compactShowBattery,
           &AppSettings::compactShowBatteryChanged);
}

void AppSettings::setCompactShowProcesses(bool shown) {
    assign(compactShowProcesses_, shown, key::compactShowProcesses,
           &AppSettings::compactShowProcessesChanged);
}

void AppSettings::setAlertsEnabled(bool enabled) {
    assign(alertsEnabled_, enabled, key::alertsEnabled, &AppSettings::alertsEnabledChanged);
}

void AppSettings::setAlertCPUTempThreshold(double celsius) {
    assign(alertCPUTempThreshold_, celsius, key::alertCPUTempThreshold,
           &AppSettings::alertCPUTempThresholdChanged);
}

void AppSettings::setAlertGPUTempThreshold(double celsius) {
    assign(alertGPUTempThreshold_, celsius, key::alertGPUTempThreshold,
           &AppSettings::alertGPUTempThresholdChanged);
}

void AppSettings::setAlertSSDTempThreshold(double celsius) {
    assign(alertSSDTempThreshold_, celsius, key::alertSSDTempThreshold,
           &AppSettings::alertSSDTempThresholdChanged);
}

void AppSettings::setOverlayShowCPU(bool shown) {
    assign(overlayShowCPU_, shown, key::overlayShowCPU, &AppSettings::overlayShowCPUChanged);
}

void AppSettings::setOverlayShowRAM(bool shown) {
    assign(overlayShowRAM_, shown, key::overlayShowRAM, &AppSettings::overlayShowRAMChanged);
}

void AppSettings::setOverlayShowNetwork(bool shown) {
    assign(overlayShowNetwork_, shown, key::overlayShowNetwork,
           &AppSettings::overlayShowNetworkChanged);
}

void AppSettings::setOverlayShowGPU(bool shown) {
    assign(overlayShowGPU_, shown, key::overlayShowGPU, &AppSettings::overlayShowGPUChanged);
}

void AppSettings::setOverlayShowDisk(bool shown) {
    assign(overlayShowDisk_, shown, key::overlayShowDisk, &AppSettings::overlayShowDiskChanged);
}

void AppSettings::setOverlayShowBattery(bool shown) {
    assign(overlayShowBattery_, shown, key::overlayShowBattery,
           &AppSettings::overlayShowBatteryChanged);
}

void AppSettings::setOverlayShowProcesses(bool shown) {
    assign(overlayShowProcesses_, shown, key::overlayShowProcesses,
           &AppSettings::overlayShowProcessesChanged);
}
