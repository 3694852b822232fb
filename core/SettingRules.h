#pragma once

#include <QJsonValue>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

class SettingsReader;

// The rules a stored setting must keep to be used, the same the Settings window keeps when
// the user changes it: loading the settings file and importing one both judge by them, so a
// hand-edited or imported file cannot hold what the window would never allow.

// A stored setting left alone, and why, in words for the user.
struct IgnoredSetting {
    QString key;
    QString reason;
    bool operator==(const IgnoredSetting&) const = default;
};

// The refresh intervals the Settings window offers, in seconds, in its order. No other is
// taken from a file: a tiny interval makes the poll loop spin.
inline constexpr std::array<double, 3> offeredRefreshIntervals{1.0, 2.0, 5.0};

// Why `value` cannot be the refresh interval; nothing when it is one of the offered.
std::optional<QString> refreshIntervalRefusal(const QJsonValue& value);

// How long a temperature must stay above its threshold before its alert fires, in seconds,
// as the Settings window offers it; 0 fires at once.
inline constexpr std::array<int, 4> offeredAlertSustainSeconds{0, 10, 30, 60};

// Why `value` cannot be the alerts' wait; nothing when it is one of the offered.
std::optional<QString> alertSustainRefusal(const QJsonValue& value);

// The bounds of the sensors' names and hidden readings, so a hand-edited file cannot fill
// memory: entries of each, characters of an identity ("<chip>/<sensor>") and of a name.
inline constexpr qsizetype sensorSettingEntryLimit = 1024;
inline constexpr qsizetype sensorIdentityLengthLimit = 256;
inline constexpr qsizetype sensorNameLengthLimit = 64;

// A global shortcut is stored under this prefix followed by its name.
inline const QString shortcutKeyPrefix = QStringLiteral("KeyboardShortcuts_");
// The program's global shortcuts, by name.
inline const std::array<QString, 3> shortcutNames{
    QStringLiteral("toggleCompact"),
    QStringLiteral("toggleOverlay"),
    QStringLiteral("openSettings"),
};

// What a combination without Ctrl, Alt or Super lacks; the recorder says it after the keys.
inline const QString needsCommandModifier = QStringLiteral("needs Ctrl, Alt or Super");

// Why `value` cannot be a stored global shortcut; nothing for false (a cleared shortcut) and
// for the text of a combination that holds Ctrl, Alt or Super.
std::optional<QString> storedShortcutRefusal(const QJsonValue& value);

// The stored global shortcuts that break their rule; a missing key breaks none.
QVector<IgnoredSetting> shortcutsBreakingRules(const SettingsReader& stored);
