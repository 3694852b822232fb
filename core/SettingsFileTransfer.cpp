#include "core/SettingsFileTransfer.h"

#include "core/AppSettings.h"
#include "core/AtomicFile.h"
#include "core/SettingRules.h"
#include "core/SettingsReader.h"
#include "core/UserDefaults.h"
#include "menubar/MenuBarItemCodec.h"
#include "menubar/MenuBarItemList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <optional>
#include <vector>

namespace {

// A JSON object read with the store's own typed rules, so a file's value is usable exactly
// when the store would load it.
class ObjectReader final : public SettingsReader {
public:
    explicit ObjectReader(const QJsonObject& object) : object_(object) {}
    std::optional<QJsonValue> value(const QString& key) const override {
        const auto found = object_.constFind(key);
        if (found == object_.constEnd()) {
            return std::nullopt;
        }
        return *found;
    }

private:
    const QJsonObject& object_;
};

// Why a file's value was not applied; nothing when it was.
using Refusal = std::optional<QString>;

Refusal refusedUnless(bool usable, const char* why) {
    return usable ? Refusal() : Refusal(QString::fromLatin1(why));
}

// One preference under its stored key: its current value as the store writes it (undefined
// while it has none), and how a file's value is applied (refused: nothing changed).
struct Preference {
    QString key;
    QJsonValue (*current)(const AppSettings&);
    Refusal (*apply)(AppSettings&, const SettingsReader&, const QString&);
};

template <bool (AppSettings::*get)() const, void (AppSettings::*set)(bool)>
Preference boolPreference(const char* key) {
    return {QString::fromLatin1(key),
            [](const AppSettings& settings) { return QJsonValue((settings.*get)()); },
            [](AppSettings& settings, const SettingsReader& file, const QString& name) {
                const std::optional<bool> value = file.boolValue(name);
                if (value) {
                    (settings.*set)(*value);
                }
                return refusedUnless(value.has_value(), "not true or false");
            }};
}

template <double (AppSettings::*get)() const, void (AppSettings::*set)(double)>
Preference doublePreference(const char* key) {
    return {QString::fromLatin1(key),
            [](const AppSettings& settings) { return QJsonValue((settings.*get)()); },
            [](AppSettings& settings, const SettingsReader& file, const QString& name) {
                const std::optional<double> value = file.doubleValue(name);
                if (value) {
                    (settings.*set)(*value);
                }
                return refusedUnless(value.has_value(), "not a number");
            }};
}

std::optional<QPoint> pointFrom(const SettingsReader& file, const QString& key) {
    const std::optional<QJsonValue> value = file.value(key);
    if (!value || !value->isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value->toObject();
    const ObjectReader point(object);
    const auto x = point.integerValue(QStringLiteral("x"));
    const auto y = point.integerValue(QStringLiteral("y"));
    if (!x || !y) {
        return std::nullopt;
    }
    return QPoint(*x, *y);
}

// Every preference of the store, in its declaration order.
const std::vector<Preference>& preferences() {
    using S = AppSettings;
    static const std::vector<Preference> table{
        {QStringLiteral("refreshInterval"),
         [](const S& s) { return QJsonValue(s.refreshInterval()); },
         [](S& s, const SettingsReader& file, const QString& key) {
             // Only an interval the Settings window offers: the store loads any other as its
             // default, and a tiny one makes the poll loop spin.
             const Refusal refusal = refreshIntervalRefusal(file.value(key).value_or(QJsonValue()));
             if (!refusal) {
                 s.setRefreshInterval(file.doubleValue(key).value_or(0));
             }
             return refusal;
         }},
        boolPreference<&S::launchAtLogin, &S::setLaunchAtLogin>("launchAtLogin"),
        {QStringLiteral("graphColor"), [](const S& s) { return QJsonValue(s.graphColor()); },
         [](S& s, const SettingsReader& file, const QString& key) {
             const auto name = file.stringValue(key);
             if (name) {
                 s.setGraphColor(*name);
             }
             return refusedUnless(name.has_value(), "not text");
         }},
        {menubar::itemsKey,
         [](const S& s) { return QJsonValue(encodeMenuBarItems(s.menuBarItems())); },
         [](S& s, const SettingsReader& file, const QString& key) {
             const auto stored = file.value(key);
             const auto items = stored ? decodeMenuBarItems(*stored) : std::nullopt;
             if (items) {
                 s.setMenuBarItems(menubar::completed(*items));
             }
             return refusedUnless(items.has_value(), "not a list of status item metrics");
         }},
        doublePreference<&S::menuBarPillOpacity, &S::setMenuBarPillOpacity>("menuBarPillOpacity"),
        boolPreference<&S::menuBarColorCoded, &S::setMenuBarColorCoded>("menuBarColorCoded"),
        {QStringLiteral("menuBarSparklineWidth"),
         [](const S& s) { return QJsonValue(s.menuBarSparklineWidth()); },
         [](S& s, const SettingsReader& file, const QString& key) {
             const auto points = file.integerValue(key);
             if (points) {
                 s.setMenuBarSparklineWidth(*points);
             }
             return refusedUnless(points.has_value(), "not a whole number");
         }},
        {QStringLiteral("statusItemMode"),
         [](const S& s) { return QJsonValue(rawValue(s.statusItemMode())); },
         [](S& s, const SettingsReader& file, const QString& key) {
             const auto mode =
                 statusItemModeFromRawValue(file.stringValue(key).value_or(QString()));
             if (mode) {
                 s.setStatusItemMode(*mode);
             }
             return refusedUnless(mode.has_value(), "not a status item mode");
         }},
        {QStringLiteral("statusItemShape"),
         [](const S& s) { return QJsonValue(rawValue(s.statusItemShape())); },
         [](S& s, const SettingsReader& file, const QString& key) {
             const auto shape =
                 statusItemShapeFromRawValue(file.stringValue(key).value_or(QString()));
             if (shape) {
                 s.setStatusItemShape(*shape);
             }
             return refusedUnless(shape.has_value(), "not a status item shape");
         }},
        {QStringLiteral("statusStripPosition"),
         [](const S& s) {
             const auto place = s.statusStripPosition();
             return place ? QJsonValue(QJsonObject{{"x", place->x()}, {"y", place->y()}})
                          : QJsonValue(QJsonValue::Undefined);
         },
         [](S& s, const SettingsReader& file, const QString& key) {
             const auto place = pointFrom(file, key);
             if (place) {
                 s.setStatusStripPosition(*place);
             }
             return refusedUnless(place.has_value(), "not a point of whole x and y");
         }},
        boolPreference<&S::compactShowCPU, &S::setCompactShowCPU>("compactShowCPU"),
        boolPreference<&S::compactShowRAM, &S::setCompactShowRAM>("compactShowRAM"),
        boolPreference<&S::compactShowNetwork, &S::setCompactShowNetwork>("compactShowNetwork"),
        boolPreference<&S::compactShowGPU, &S::setCompactShowGPU>("compactShowGPU"),
        boolPreference<&S::compactShowDisk, &S::setCompactShowDisk>("compactShowDisk"),
        boolPreference<&S::compactShowBattery, &S::setCompactShowBattery>("compactShowBattery"),
        boolPreference<&S::compactShowProcesses, &S::setCompactShowProcesses>(
            "compactShowProcesses"),
        boolPreference<&S::alertsEnabled, &S::setAlertsEnabled>("alertsEnabled"),
        doublePreference<&S::alertCPUTempThreshold, &S::setAlertCPUTempThreshold>(
            "alertCPUTempThreshold"),
        doublePreference<&S::alertGPUTempThreshold, &S::setAlertGPUTempThreshold>(
            "alertGPUTempThreshold"),
        doublePreference<&S::alertSSDTempThreshold, &S::setAlertSSDTempThreshold>(
            "alertSSDTempThreshold"),
        boolPreference<&S::overlayShowCPU, &S::setOverlayShowCPU>("overlayShowCPU"),
        boolPreference<&S::overlayShowRAM, &S::setOverlayShowRAM>("overlayShowRAM"),
        boolPreference<&S::overlayShowNetwork, &S::setOverlayShowNetwork>("overlayShowNetwork"),
        boolPreference<&S::overlayShowGPU, &S::setOverlayShowGPU>("overlayShowGPU"),
        boolPreference<&S::overlayShowDisk, &S::setOverlayShowDisk>("overlayShowDisk"),
        boolPreference<&S::overlayShowBattery, &S::setOverlayShowBattery>("overlayShowBattery"),
        boolPreference<&S::overlayShowProcesses, &S::setOverlayShowProcesses>(
            "overlayShowProcesses"),
    };
    return table;
}

SettingsFileResult failure(const QString& why) {
    SettingsFileResult result;
    result.error = why;
    return result;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

SettingsFileResult exportSettingsFile(const AppSettings& settings, const UserDefaults& stored,
                                      const QString& path) {
    QJsonObject content = stored.values();
    for (const Preference& preference : preferences()) {
        const QJsonValue value = preference.current(settings);
        if (!value.isUndefined()) {
            content.insert(preference.key, value);
        }
    }
    const QByteArray text = QJsonDocument(content).toJson(QJsonDocument::Indented);
    if (const QString reason = writeFileAtomically(path, text); !reason.isEmpty()) {
        return failure(QStringLiteral("Could not write %1: %2").arg(shown(path), reason));
    }
    return {};
}

SettingsFileResult importSettingsFile(AppSettings& settings, UserDefaults& stored,
                                      const QString& path) {
    // A folder, a pipe or a device is no settings file, and reading one might never end.
    const QFileInfo info(path);
    if (!info.exists()) {
        return failure(QStringLiteral("%1 does not exist.").arg(shown(path)));
    }
    if (!info.isFile()) {
        return failure(QStringLiteral("%1 is not a file.").arg(shown(path)));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(
            QStringLiteral("Could not read %1: %2").arg(shown(path), file.errorString()));
    }
    const QByteArray text = file.read(settingsFileSizeLimit + 1);
    if (text.size() > settingsFileSizeLimit) {
        return failure(
            QStringLiteral("%1 is larger than 1 MiB; a settings file is a few kilobytes.")
                .arg(shown(path)));
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        return failure(QStringLiteral("%1 is not a settings file: %2 at character %3.")
                           .arg(shown(path), error.errorString())
                           .arg(error.offset));
    }
    if (!document.isObject()) {
        return failure(
            QStringLiteral("%1 is not a settings file: it holds a list, not named settings.")
                .arg(shown(path)));
    }

    const QJsonObject values = document.object();
    const ObjectReader imported(values);
    QStringList applied;
    QHash<QString, QString> refusals;
    for (const Preference& preference : preferences()) {
        if (!values.contains(preference.key)) {
            continue;
        }
        if (const Refusal refusal = preference.apply(settings, imported, preference.key)) {
            refusals.insert(preference.key, *refusal);
        } else {
            applied.append(preference.key);
        }
    }
    SettingsFileResult result;
    // The global shortcuts keep one value per name: the combination as JSON text, or false
    // for a default the user cleared. The shortcuts module reads them.
    for (const QString& name : shortcutNames) {
        const QString key = shortcutKeyPrefix + name;
        const auto value = imported.value(key);
        if (!value) {
            continue;
        }
        if (const Refusal refusal = storedShortcutRefusal(*value)) {
            refusals.insert(key, *refusal);
            continue;
        }
        if (stored.value(key) != value) {
            stored.set(key, *value);
            result.changedShortcuts.append(name);
        }
        applied.append(key);
    }
    for (const QString& key : values.keys()) {
        if (!applied.contains(key)) {
            result.ignored.append({key, refusals.value(key, QStringLiteral("unknown setting"))});
        }
    }
    return result;
}
