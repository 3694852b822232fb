#include "core/SettingsTable.h"

#include "core/AppSettings.h"
#include "core/SettingRules.h"
#include "core/SettingsReader.h"
#include "core/TextFormat.h"
#include "status_list/StatusItemCodec.h"
#include "status_list/StatusItemList.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

using S = AppSettings;
using enum SettingType;
using enum SettingsWindowSection;
using Row = SettingsWindowRow;

// One value read with the store's typed rules, so a value is usable exactly when the
// settings file's reader would take it.
class OneValue final : public SettingsReader {
public:
    explicit OneValue(QJsonValue value) : value_(std::move(value)) {}
    std::optional<QJsonValue> value(const QString&) const override { return value_; }

private:
    QJsonValue value_;
};

QVector<SettingChoice> offeredIntervals() {
    QVector<SettingChoice> choices;
    for (const double seconds : offeredRefreshIntervals) {
        choices.append({seconds, refreshIntervalText(seconds)});
    }
    return choices;
}

QVector<SettingChoice> offeredAlertWaits() {
    QVector<SettingChoice> choices;
    for (const int seconds : offeredAlertSustainSeconds) {
        choices.append({seconds, alertSustainText(seconds)});
    }
    return choices;
}

SettingDeclaration sectionSwitch(Setting setting, const char* key, void (S::*changed)(),
                                 SettingsWindowSection section, const char* label) {
    return {.setting = setting,
            .key = QString::fromLatin1(key),
            .type = flag,
            .fallback = true,
            .changed = changed,
            .section = section,
            .row = Row::toggle,
            .label = QString::fromLatin1(label)};
}

SettingDeclaration threshold(Setting setting, const char* key, void (S::*changed)(), double celsius,
                             const char* label) {
    return {.setting = setting,
            .key = QString::fromLatin1(key),
            .type = number,
            .fallback = celsius,
            .changed = changed,
            .section = temperatureAlerts,
            .row = Row::temperatureField,
            .label = QString::fromLatin1(label)};
}

QVector<SettingDeclaration> makeTable() {
    using enum Setting;
    return {
        {.setting = refreshInterval,
         .key = QStringLiteral("refreshInterval"),
         .type = number,
         .fallback = 2.0,
         .changed = &S::refreshIntervalChanged,
         // A tiny interval makes the poll loop spin.
         .rule = refreshIntervalRefusal,
         .choices = offeredIntervals(),
         .section = refreshRate,
         .row = Row::picker,
         .label = QStringLiteral("Update every")},
        {.setting = launchAtLogin,
         .key = QStringLiteral("launchAtLogin"),
         .type = flag,
         .fallback = false,
         .changed = &S::launchAtLoginChanged,
         .section = launch,
         .row = Row::toggle,
         .label = QStringLiteral("Launch at Login")},
        {.setting = graphColor,
         .key = QStringLiteral("graphColor"),
         .type = text,
         .fallback = QStringLiteral("purple"),
         .changed = &S::graphColorChanged,
         .changesStatusItemLook = true,
         .section = appearance,
         .row = Row::accentPicker,
         .label = QStringLiteral("Accent color")},
        {.setting = statusItemEntries,
         .key = status_list::itemsKey,
         .type = metricList,
         .changed = &S::statusItemEntriesChanged,
         .changesStatusItemLook = true,
         .section = statusMetrics,
         .row = Row::metricList},
        {.setting = statusItemColorCoded,
         .key = QStringLiteral("menuBarColorCoded"),
         .type = flag,
         .fallback = true,
         .changed = &S::statusItemColorCodedChanged,
         .changesStatusItemLook = true,
         .section = statusItemStyle,
         .row = Row::toggle,
         .label = QStringLiteral("Color-coded values")},
        {.setting = statusItemSparklineWidth,
         .key = QStringLiteral("menuBarSparklineWidth"),
         .type = wholeNumber,
         .fallback = 30,
         .changed = &S::statusItemSparklineWidthChanged,
         .changesStatusItemLook = true,
         .section = statusItemStyle,
         .row = Row::stepper,
         .label = QStringLiteral("Sparkline width"),
         .minimum = 20,
         .maximum = 50},
        {.setting = statusItemPillOpacity,
         .key = QStringLiteral("menuBarPillOpacity"),
         .type = number,
         .fallback = 0.85,
         .changed = &S::statusItemPillOpacityChanged,
         .changesStatusItemLook = true,
         .section = statusItemStyle,
         .row = Row::slider,
         .label = QStringLiteral("Background opacity")},
        {.setting = statusItemMode,
         .key = QStringLiteral("statusItemMode"),
         .type = choice,
         .fallback = QStringLiteral("automatic"),
         .changed = &S::statusItemModeChanged,
         .changesStatusItemLook = true,
         .notAChoice = QStringLiteral("not a status item mode"),
         // In the order of StatusItemMode.
         .choices = {{QStringLiteral("automatic"),
                      QStringLiteral("Automatic: tray, else status strip")},
                     {QStringLiteral("tray"), QStringLiteral("Tray")},
                     {QStringLiteral("strip"), QStringLiteral("Status strip")},
                     {QStringLiteral("trayAndStrip"), QStringLiteral("Tray and status strip")}},
         .section = statusItem,
         .row = Row::picker,
         .label = QStringLiteral("Show in"),
         .accessibleName = QStringLiteral("Show the status item in")},
        {.setting = statusItemShape,
         .key = QStringLiteral("statusItemShape"),
         .type = choice,
         .fallback = QStringLiteral("automatic"),
         .changed = &S::statusItemShapeChanged,
         .changesStatusItemLook = true,
         .notAChoice = QStringLiteral("not a status item shape"),
         // In the order of StatusItemShape.
         .choices = {{QStringLiteral("automatic"),
                      QStringLiteral("Automatic: as the tray draws its items")},
                     {QStringLiteral("wide"), QStringLiteral("Wide, with every metric")},
                     {QStringLiteral("square"), QStringLiteral("Square glance")}},
         .section = statusItem,
         .row = Row::picker,
         .label = QStringLiteral("Tray image"),
         .accessibleName = QStringLiteral("Tray image shape")},
        sectionSwitch(compactShowCpu, "compactShowCPU", &S::compactShowCpuChanged, compactSections,
                      "CPU"),
        sectionSwitch(compactShowRam, "compactShowRAM", &S::compactShowRamChanged, compactSections,
                      "Memory"),
        sectionSwitch(compactShowNetwork, "compactShowNetwork", &S::compactShowNetworkChanged,
                      compactSections, "Network"),
        sectionSwitch(compactShowGpu, "compactShowGPU", &S::compactShowGpuChanged, compactSections,
                      "GPU"),
        sectionSwitch(compactShowDisk, "compactShowDisk", &S::compactShowDiskChanged,
                      compactSections, "Disk"),
        sectionSwitch(compactShowBattery, "compactShowBattery", &S::compactShowBatteryChanged,
                      compactSections, "Battery"),
        sectionSwitch(compactShowProcesses, "compactShowProcesses", &S::compactShowProcessesChanged,
                      compactSections, "Processes"),
        sectionSwitch(dashboardShowCpu, "overlayShowCPU", &S::dashboardShowCpuChanged,
                      dashboardSections, "CPU"),
        sectionSwitch(dashboardShowRam, "overlayShowRAM", &S::dashboardShowRamChanged,
                      dashboardSections, "Memory"),
        sectionSwitch(dashboardShowNetwork, "overlayShowNetwork", &S::dashboardShowNetworkChanged,
                      dashboardSections, "Network"),
        sectionSwitch(dashboardShowGpu, "overlayShowGPU", &S::dashboardShowGpuChanged,
                      dashboardSections, "GPU"),
        sectionSwitch(dashboardShowDisk, "overlayShowDisk", &S::dashboardShowDiskChanged,
                      dashboardSections, "Disk"),
        sectionSwitch(dashboardShowBattery, "overlayShowBattery", &S::dashboardShowBatteryChanged,
                      dashboardSections, "Battery"),
        sectionSwitch(dashboardShowProcesses, "overlayShowProcesses",
                      &S::dashboardShowProcessesChanged, dashboardSections, "Processes"),
        {.setting = alertsEnabled,
         .key = QStringLiteral("alertsEnabled"),
         .type = flag,
         .fallback = false,
         .changed = &S::alertsEnabledChanged,
         .section = temperatureAlerts,
         .row = Row::toggle,
         .label = QStringLiteral("Enable alerts")},
        threshold(alertCpuTempThreshold, "alertCPUTempThreshold", &S::alertCpuTempThresholdChanged,
                  95.0, "CPU threshold"),
        threshold(alertGpuTempThreshold, "alertGPUTempThreshold", &S::alertGpuTempThresholdChanged,
                  95.0, "GPU threshold"),
        threshold(alertSsdTempThreshold, "alertSSDTempThreshold", &S::alertSsdTempThresholdChanged,
                  70.0, "SSD threshold"),
        {.setting = statusStripPosition,
         .key = QStringLiteral("statusStripPosition"),
         .type = point,
         .fallback = QJsonValue(QJsonValue::Undefined),
         .changed = &S::statusStripPositionChanged,
         .shownElsewhere = QStringLiteral("the status strip keeps its place where it is dragged")},
        {.setting = sensorNames,
         .key = QStringLiteral("sensorNames"),
         .type = textMap,
         .fallback = QJsonObject(),
         .changed = &S::sensorNamesChanged,
         .shownElsewhere = QStringLiteral("the dashboard's Sensors card renames a reading")},
        {.setting = hiddenSensors,
         .key = QStringLiteral("hiddenSensors"),
         .type = textList,
         .fallback = QJsonArray(),
         .changed = &S::hiddenSensorsChanged,
         .shownElsewhere = QStringLiteral("the dashboard's Sensors card hides a reading")},
        {.setting = alertSustainSeconds,
         .key = QStringLiteral("alertSustainSeconds"),
         .type = wholeNumber,
         .fallback = 0,
         .changed = &S::alertSustainSecondsChanged,
         .rule = alertSustainRefusal,
         .choices = offeredAlertWaits(),
         .section = temperatureAlerts,
         .row = Row::picker,
         .label = QStringLiteral("Alert after"),
         .accessibleName = QStringLiteral("Alert after the reading stays above its threshold for")},
    };
}

// A stored identity of a sensor: a non-empty text of bounded length.
bool isSensorIdentity(const QString& text) {
    return !text.isEmpty() && text.size() <= sensorIdentityLengthLimit;
}

std::optional<QJsonValue> textMapIn(const QJsonValue& value) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    if (object.size() > sensorSettingEntryLimit) {
        return std::nullopt;
    }
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        if (!isSensorIdentity(entry.key()) || !entry.value().isString() ||
            entry.value().toString().size() > sensorNameLengthLimit) {
            return std::nullopt;
        }
    }
    return value;
}

// A list repeating a text keeps its first.
std::optional<QJsonValue> textListIn(const QJsonValue& value) {
    if (!value.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = value.toArray();
    if (array.size() > sensorSettingEntryLimit) {
        return std::nullopt;
    }
    QJsonArray distinct;
    for (const QJsonValue& item : array) {
        if (!item.isString() || !isSensorIdentity(item.toString())) {
            return std::nullopt;
        }
        if (!distinct.contains(item)) {
            distinct.append(item);
        }
    }
    return distinct;
}

std::optional<QJsonValue> pointIn(const QJsonValue& value) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    const auto x = OneValue(object.value(QStringLiteral("x"))).integerValue({});
    const auto y = OneValue(object.value(QStringLiteral("y"))).integerValue({});
    if (!x || !y) {
        return std::nullopt;
    }
    return QJsonObject{{"x", *x}, {"y", *y}};
}

// `value` as the store keeps it when it is of the declared type; nothing otherwise.
std::optional<QJsonValue> ofType(const SettingDeclaration& declaration, const QJsonValue& value) {
    const OneValue one(value);
    switch (declaration.type) {
        case flag:
            return one.boolValue({}).has_value() ? std::optional(value) : std::nullopt;
        case number:
            return one.doubleValue({}).has_value() ? std::optional(value) : std::nullopt;
        case wholeNumber:
            return one.integerValue({}).has_value() ? std::optional(value) : std::nullopt;
        case text:
            return one.stringValue({}).has_value() ? std::optional(value) : std::nullopt;
        case choice:
            return choiceIndex(declaration.setting, value.toString()) && value.isString()
                       ? std::optional(value)
                       : std::nullopt;
        case point:
            return pointIn(value);
        case metricList:
            if (const auto items = decodeStatusItemEntries(value)) {
                return encodeStatusItemEntries(status_list::completed(*items));
            }
            return std::nullopt;
        case textMap:
            return textMapIn(value);
        case textList:
            return textListIn(value);
    }
    return std::nullopt;
}

QString wrongTypeText(const SettingDeclaration& declaration) {
    switch (declaration.type) {
        case flag:
            return QStringLiteral("not true or false");
        case number:
            return QStringLiteral("not a number");
        case wholeNumber:
            return QStringLiteral("not a whole number");
        case text:
            return QStringLiteral("not text");
        case choice:
            return declaration.notAChoice;
        case point:
            return QStringLiteral("not a point of whole x and y");
        case metricList:
            return QStringLiteral("not a list of status item metrics");
        case textMap:
            return QStringLiteral(
                       "not an object of at most %1 texts of at most %2 characters by name")
                .arg(sensorSettingEntryLimit)
                .arg(sensorNameLengthLimit);
        case textList:
            return QStringLiteral("not a list of at most %1 names").arg(sensorSettingEntryLimit);
    }
    return {};
}

}  // namespace

const QVector<SettingDeclaration>& settingsTable() {
    static const QVector<SettingDeclaration> table = makeTable();
    return table;
}

const SettingDeclaration& declarationOf(Setting setting) {
    return settingsTable()[static_cast<qsizetype>(setting)];
}

SettingJudgement judgeSetting(const SettingDeclaration& declaration, const QJsonValue& value) {
    const std::optional<QJsonValue> usable = ofType(declaration, value);
    if (!usable) {
        return {std::nullopt, wrongTypeText(declaration)};
    }
    if (declaration.rule) {
        if (const std::optional<QString> refusal = declaration.rule(*usable)) {
            return {std::nullopt, *refusal};
        }
    }
    return {usable, {}};
}

std::optional<int> choiceIndex(Setting setting, const QString& name) {
    const QVector<SettingChoice>& choices = declarationOf(setting).choices;
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].value.toString() == name) {
            return i;
        }
    }
    return std::nullopt;
}

QString choiceName(Setting setting, int index) {
    const QVector<SettingChoice>& choices = declarationOf(setting).choices;
    return choices.value(index, choices.front()).value.toString();
}
