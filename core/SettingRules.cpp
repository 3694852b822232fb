#include "core/SettingRules.h"

#include "core/SettingsReader.h"
#include "core/ShortcutCombination.h"
#include "core/TextFormat.h"

#include <QStringList>

#include <algorithm>

namespace {

QString offeredIntervalsText() {
    QStringList texts;
    for (const double seconds : offeredRefreshIntervals) {
        texts.append(refreshIntervalText(seconds));
    }
    const QString last = texts.takeLast();
    return texts.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

bool isOfferedRefreshInterval(double seconds) {
    return std::find(offeredRefreshIntervals.begin(), offeredRefreshIntervals.end(), seconds) !=
           offeredRefreshIntervals.end();
}

}  // namespace

std::optional<QString> refreshIntervalRefusal(const QJsonValue& value) {
    if (!value.isDouble()) {
        return QStringLiteral("not a number");
    }
    if (!isOfferedRefreshInterval(value.toDouble())) {
        return QStringLiteral("%1 is not offered; the choices are %2")
            .arg(refreshIntervalText(value.toDouble()), offeredIntervalsText());
    }
    return std::nullopt;
}

std::optional<QString> alertSustainRefusal(const QJsonValue& value) {
    const int seconds = value.toInt(-1);
    if (std::find(offeredAlertSustainSeconds.begin(), offeredAlertSustainSeconds.end(), seconds) ==
        offeredAlertSustainSeconds.end()) {
        QStringList texts;
        for (const int offered : offeredAlertSustainSeconds) {
            texts.append(alertSustainText(offered));
        }
        return QStringLiteral("%1 seconds is not offered; the choices are %2")
            .arg(editableNumberText(value.toDouble()), texts.join(QStringLiteral(", ")));
    }
    return std::nullopt;
}

std::optional<QString> storedShortcutRefusal(const QJsonValue& value) {
    if (value.isBool() && !value.toBool()) {
        return std::nullopt;
    }
    if (!value.isString()) {
        return QStringLiteral("neither a key combination nor false");
    }
    const std::optional<Shortcut> shortcut = decodeShortcut(value.toString());
    if (!shortcut) {
        return QStringLiteral("not a key combination");
    }
    if (!shortcut->hasCommandModifier()) {
        return QStringLiteral("the key combination ") + needsCommandModifier;
    }
    return std::nullopt;
}

QVector<IgnoredSetting> shortcutsBreakingRules(const SettingsReader& stored) {
    QVector<IgnoredSetting> broken;
    for (const QString& name : shortcutNames) {
        const QString key = shortcutKeyPrefix + name;
        if (const auto shortcut = stored.value(key)) {
            if (const auto reason = storedShortcutRefusal(*shortcut)) {
                broken.append({key, *reason});
            }
        }
    }
    return broken;
}
