#include "core/AppSettings.h"

#include "core/SettingRules.h"
#include "core/SettingsFile.h"
#include "status_list/StatusItemCodec.h"
#include "status_list/StatusItemList.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

status_list::StoredStatusItemSettings readStoredStatusItemSettings(const SettingsReader& stored) {
    return {stored.value(status_list::itemsKey), stored.boolValue(status_list::legacyShowCpuKey),
            stored.boolValue(status_list::legacyShowRamKey),
            stored.boolValue(status_list::legacyShowNetworkKey)};
}

QString rawValue(StatusItemMode mode) {
    return choiceName(Setting::statusItemMode, static_cast<int>(mode));
}

std::optional<StatusItemMode> statusItemModeFromRawValue(const QString& raw) {
    const auto index = choiceIndex(Setting::statusItemMode, raw);
    return index ? std::optional(static_cast<StatusItemMode>(*index)) : std::nullopt;
}

QString rawValue(StatusItemShape shape) {
    return choiceName(Setting::statusItemShape, static_cast<int>(shape));
}

std::optional<StatusItemShape> statusItemShapeFromRawValue(const QString& raw) {
    const auto index = choiceIndex(Setting::statusItemShape, raw);
    return index ? std::optional(static_cast<StatusItemShape>(*index)) : std::nullopt;
}

AppSettings::AppSettings(SettingsFile& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults) {
    load();
}

void AppSettings::load() {
    // A value of the wrong type or one the Settings window would never allow (a hand edit, an
    // older version) is left for the default, and the log names it.
    for (const SettingDeclaration& declaration : settingsTable()) {
        values_[static_cast<std::size_t>(declaration.setting)] = declaration.fallback;
        const auto stored = defaults_.value(declaration.key);
        // The status item's list has its own loading: it completes the list and takes over
        // the older per-metric switches.
        if (!stored || declaration.type == SettingType::metricList) {
            continue;
        }
        const SettingJudgement judgement = judgeSetting(declaration, *stored);
        if (judgement.usable) {
            values_[static_cast<std::size_t>(declaration.setting)] = *judgement.usable;
        } else {
            ignoredAtLoad_.append({declaration.key, judgement.refusal});
        }
    }
    statusItemEntries_ = status_list::load(readStoredStatusItemSettings(defaults_));
    ignoredAtLoad_.append(shortcutsBreakingRules(defaults_));
    for (const IgnoredSetting& ignored : ignoredAtLoad_) {
        std::fprintf(stderr, "vantrel: ignored the stored setting %s: %s\n",
                     qPrintable(ignored.key), qPrintable(ignored.reason));
    }
}

QJsonValue AppSettings::value(Setting setting) const {
    if (setting == Setting::statusItemEntries) {
        return encodeStatusItemEntries(statusItemEntries_);
    }
    return held(setting);
}

std::optional<QString> AppSettings::apply(Setting setting, const QJsonValue& value) {
    const SettingJudgement judgement = judgeSetting(declarationOf(setting), value);
    if (!judgement.usable) {
        return judgement.refusal;
    }
    if (setting == Setting::statusItemEntries) {
        setStatusItemEntries(
            decodeStatusItemEntries(*judgement.usable).value_or(statusItemEntries_));
    } else {
        assign(setting, *judgement.usable);
    }
    return std::nullopt;
}

void AppSettings::assign(Setting setting, const QJsonValue& value) {
    QJsonValue& field = values_[static_cast<std::size_t>(setting)];
    if (field == value) {
        return;
    }
    field = value;
    defaults_.set(declarationOf(setting).key, value);
    announce(setting);
}

void AppSettings::announce(Setting setting) {
    const SettingDeclaration& declaration = declarationOf(setting);
    if (declaration.changesStatusItemLook) {
        emit statusItemLookChanged();
    }
    emit(this->*declaration.changed)();
}

void AppSettings::setRefreshInterval(double seconds) {
    // A zero, negative or non-finite interval would make the poll loop spin or never wake.
    const bool usable = std::isfinite(seconds) && seconds > 0;
    assign(Setting::refreshInterval,
           usable ? seconds : declarationOf(Setting::refreshInterval).fallback.toDouble());
}

std::optional<QPoint> AppSettings::statusStripPosition() const {
    const QJsonValue& place = held(Setting::statusStripPosition);
    if (!place.isObject()) {
        return std::nullopt;
    }
    return QPoint(place[QLatin1String("x")].toInt(), place[QLatin1String("y")].toInt());
}

void AppSettings::setStatusStripPosition(QPoint topLeft) {
    assign(Setting::statusStripPosition, QJsonObject{{"x", topLeft.x()}, {"y", topLeft.y()}});
}

void AppSettings::setStatusItemEntries(const QVector<StatusItemEntry>& items) {
    const auto kept = status_list::withoutRepeatedMetrics(items);
    if (kept == statusItemEntries_) {
        return;
    }
    statusItemEntries_ = kept;
    saveStatusItemEntries();
    announce(Setting::statusItemEntries);
}

void AppSettings::saveStatusItemEntries() {
    defaults_.set(status_list::itemsKey, encodeStatusItemEntries(statusItemEntries_));
}

void AppSettings::setStatusItemEnabled(int index, bool enabled) {
    auto items = statusItemEntries_;
    if (status_list::setEnabled(items, index, enabled)) {
        setStatusItemEntries(items);
    }
}

void AppSettings::setStatusItemDisplayMode(int index, MetricDisplayMode mode) {
    auto items = statusItemEntries_;
    if (status_list::setDisplayMode(items, index, mode)) {
        setStatusItemEntries(items);
    }
}

// A reorder assigns the list (which saves and announces) and then saves and announces once more, as
// the Settings list has always done; both steps are idempotent.
void AppSettings::moveStatusItemUp(int index) {
    auto items = statusItemEntries_;
    if (status_list::moveUp(items, index)) {
        setStatusItemEntries(items);
        saveStatusItemEntries();
        emit statusItemLookChanged();
    }
}

void AppSettings::moveStatusItemDown(int index) {
    auto items = statusItemEntries_;
    if (status_list::moveDown(items, index)) {
        setStatusItemEntries(items);
        saveStatusItemEntries();
        emit statusItemLookChanged();
    }
}

QMap<QString, QString> AppSettings::sensorNames() const {
    QMap<QString, QString> names;
    const QJsonObject stored = held(Setting::sensorNames).toObject();
    for (auto entry = stored.begin(); entry != stored.end(); ++entry) {
        names.insert(entry.key(), entry.value().toString());
    }
    return names;
}

namespace {

// `text` cut to at most `length` characters, never between the halves of a surrogate pair.
QString cutTo(const QString& text, qsizetype length) {
    if (text.size() <= length) {
        return text;
    }
    const qsizetype end = text.at(length - 1).isHighSurrogate() ? length - 1 : length;
    return text.left(end);
}

}  // namespace

void AppSettings::setSensorName(const QString& identity, const QString& name) {
    QJsonObject names = held(Setting::sensorNames).toObject();
    const QString kept = cutTo(name.trimmed(), sensorNameLengthLimit).trimmed();
    if (kept.isEmpty()) {
        names.remove(identity);
    } else {
        names.insert(identity, kept);
    }
    // The table's bounds refuse a name beyond them, leaving the names as they were.
    apply(Setting::sensorNames, names);
}

QStringList AppSettings::hiddenSensors() const {
    QStringList identities;
    for (const QJsonValue& identity : held(Setting::hiddenSensors).toArray()) {
        identities.append(identity.toString());
    }
    return identities;
}

void AppSettings::setSensorHidden(const QString& identity, bool hidden) {
    QStringList identities = hiddenSensors();
    if (hidden == identities.contains(identity)) {
        return;
    }
    if (hidden) {
        identities.append(identity);
    } else {
        identities.removeOne(identity);
    }
    // The table's bounds refuse an identity beyond them, leaving the list as it was.
    apply(Setting::hiddenSensors, QJsonArray::fromStringList(identities));
}
