#include "providers/BatteryHistoryJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace {

// 2001-01-01 00:00:00 UTC in seconds since the Unix epoch.
constexpr double kHistoryEpochUnixSeconds = 978307200.0;

const QString kDateKey = QStringLiteral("date");
const QString kCycleCountKey = QStringLiteral("cycleCount");
const QString kHealthPercentKey = QStringLiteral("healthPercent");

std::optional<int> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number ||
        number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

}  // namespace

double historySeconds(Clock::WallTime time) {
    const double unixSeconds = std::chrono::duration<double>(time.time_since_epoch()).count();
    return unixSeconds - kHistoryEpochUnixSeconds;
}

QByteArray encodeBatteryHistory(const std::vector<BatterySnapshot>& history) {
    QJsonArray array;
    for (const BatterySnapshot& snapshot : history) {
        array.append(QJsonObject{{kDateKey, snapshot.date},
                                 {kCycleCountKey, snapshot.cycleCount},
                                 {kHealthPercentKey, snapshot.healthPercent}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<std::vector<BatterySnapshot>> decodeBatteryHistory(const QByteArray& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    std::vector<BatterySnapshot> history;
    for (const QJsonValue& element : document.array()) {
        if (!element.isObject()) {
            return std::nullopt;
        }
        const QJsonObject object = element.toObject();
        const QJsonValue date = object.value(kDateKey);
        const auto cycleCount = wholeNumber(object.value(kCycleCountKey));
        const auto healthPercent = wholeNumber(object.value(kHealthPercentKey));
        if (!date.isDouble() || !std::isfinite(date.toDouble()) || !cycleCount || !healthPercent) {
            return std::nullopt;
        }
        history.push_back({date.toDouble(), *cycleCount, *healthPercent});
    }
    return history;
}
