#include "core/AppSettings.h"

#include "core/SettingRules.h"
#include "core/UserDefaults.h"
#include "menubar/MenuBarItemCodec.h"
#include "menubar/MenuBarItemList.h"

#include <QJsonObject>

#include <cmath>
#include <cstdio>

menubar::StoredMenuBarSettings readStoredMenuBarSettings(const SettingsReader& stored) {
    return {stored.value(menubar::itemsKey), stored.boolValue(menubar::legacyShowCPUKey),
            stored.boolValue(menubar::legacyShowRAMKey),
            stored.boolValue(menubar::legacyShowNetworkKey)};
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

AppSettings::AppSettings(UserDefaults& defaults, QObject* parent)
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
    menuBarItems_ = menubar::load(readStoredMenuBarSettings(defaults_));
    ignoredAtLoad_.append(shortcutsBreakingRules(defaults_));
    for (const IgnoredSetting& ignored : ignoredAtLoad_) {
        std::fprintf(stderr, "vantrel: ignored the stored setting %s: %s\n",
                     qPrintable(ignored.key), qPrintable(ignored.reason));
    }
}

QJsonValue AppSettings::value(Setting setting) const {
    if (setting == Setting::menuBarItems) {
        return encodeMenuBarItems(menuBarItems_);
    }
    return held(setting);
}

std::optional<QString> AppSettings::apply(Setting setting, const QJsonValue& value) {
    const SettingJudgement judgement = judgeSetting(declarationOf(setting), value);
    if (!judgement.usable) {
        return judgement.refusal;
    }
    if (setting == Setting::menuBarItems) {
        setMenuBarItems(decodeMenuBarItems(*judgement.usable).value_or(menuBarItems_));
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

void AppSettings::setMenuBarItems(const QVector<MenuBarItemConfig>& items) {
    const auto kept = menubar::withoutRepeatedMetrics(items);
    if (kept == menuBarItems_) {
        return;
    }
    menuBarItems_ = kept;
    saveMenuBarItems();
    announce(Setting::menuBarItems);
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
