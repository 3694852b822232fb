#pragma once

#include <QJsonValue>
#include <QString>
#include <QVector>

#include <cstddef>
#include <optional>

class AppSettings;

// Every preference of the store, by its place in the settings table. The table below is the
// one place a preference is declared: its stored key, type, default, the values it takes, its
// change signal and its row in the Settings window. Loading, saving, export, import and the
// window's plain rows all walk it.
enum class Setting {
    refreshInterval,
    launchAtLogin,
    graphColor,
    statusItemEntries,
    statusItemColorCoded,
    statusItemSparklineWidth,
    statusItemPillOpacity,
    statusItemMode,
    statusItemShape,
    compactShowCpu,
    compactShowRam,
    compactShowNetwork,
    compactShowGpu,
    compactShowDisk,
    compactShowBattery,
    compactShowProcesses,
    dashboardShowCpu,
    dashboardShowRam,
    dashboardShowNetwork,
    dashboardShowGpu,
    dashboardShowDisk,
    dashboardShowBattery,
    dashboardShowProcesses,
    alertsEnabled,
    alertCpuTempThreshold,
    alertGpuTempThreshold,
    alertSsdTempThreshold,
    statusStripPosition,
    sensorNames,
    hiddenSensors,
    alertSustainSeconds,
};
inline constexpr std::size_t settingCount =
    static_cast<std::size_t>(Setting::alertSustainSeconds) + 1;

// The JSON a setting is stored as.
enum class SettingType {
    flag,         // true or false
    number,       // any number
    wholeNumber,  // an integral number inside the range of int
    text,         // any string
    choice,       // one of its choices' names
    point,        // {"x": whole number, "y": whole number}
    metricList,   // the status item's list of metrics
    textMap,      // an object of texts by name: at most 1024, names and texts of bounded length
    textList,     // a list of distinct texts: at most 1024, each of bounded length
};

// The section of the Settings window that shows a setting, in the window's order.
enum class SettingsWindowSection {
    elsewhere,  // not in the window: `SettingDeclaration::shownElsewhere` says where
    statusItemStyle,
    statusMetrics,
    compactSections,
    dashboardSections,
    refreshRate,
    appearance,
    temperatureAlerts,
    launch,
    statusItem,
};

// The control of a setting's row.
enum class SettingsWindowRow {
    none,
    toggle,
    picker,        // one of `choices`
    accentPicker,  // one of the palette's accent colours
    stepper,       // a whole number from `minimum` to `maximum`, by one
    slider,        // a fraction from 0 to 1, in steps of 5 %
    temperatureField,
    metricList,  // the status item's own list
};

// A value a setting may take, and its text in the Settings window.
struct SettingChoice {
    QJsonValue value;
    QString label;
};

struct SettingDeclaration {
    Setting setting{};
    QString key{};  // the stored key, never renamed
    SettingType type{};
    QJsonValue fallback{};  // the default; undefined: none until it is set
    void (AppSettings::*changed)() = nullptr;
    bool changesStatusItemLook = false;  // a change also emits statusItemLookChanged()
    // A rule of the Settings window beyond the type: why a value of the right type is refused.
    std::optional<QString> (*rule)(const QJsonValue&) = nullptr;
    // What the refusal of a choice's unknown name says.
    QString notAChoice{};
    QVector<SettingChoice> choices{};
    SettingsWindowSection section = SettingsWindowSection::elsewhere;
    SettingsWindowRow row = SettingsWindowRow::none;
    QString label{};
    QString accessibleName{};  // what screen readers call the row's control; empty: the label
    int minimum = 0;
    int maximum = 0;
    QString shownElsewhere{};  // for a setting the window does not show: who changes it
};

// Every preference, in the table's order (the order of the `Setting` names).
const QVector<SettingDeclaration>& settingsTable();
const SettingDeclaration& declarationOf(Setting setting);

// `value` in the form the store keeps for `declaration`, or why it is refused (of the wrong
// type, or breaking the Settings window's rule); never a made-up value.
struct SettingJudgement {
    std::optional<QJsonValue> usable;
    QString refusal;
};
SettingJudgement judgeSetting(const SettingDeclaration& declaration, const QJsonValue& value);

// The place of `name` among a choice setting's choices.
std::optional<int> choiceIndex(Setting setting, const QString& name);
// The name of a choice setting's choice at `index`; the first choice's for any other index.
QString choiceName(Setting setting, int index);
