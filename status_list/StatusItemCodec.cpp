#include "status_list/StatusItemCodec.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <bitset>

namespace {

const QString metricKey = QStringLiteral("metric");
const QString enabledKey = QStringLiteral("enabled");
const QString displayModeKey = QStringLiteral("displayMode");

std::optional<StatusItemEntry> decodeItem(const QJsonValue& element) {
    if (!element.isObject()) {
        return std::nullopt;
    }
    const auto object = element.toObject();
    const auto metric = object.value(metricKey);
    const auto enabled = object.value(enabledKey);
    const auto displayMode = object.value(displayModeKey);
    if (!metric.isString() || !enabled.isBool() || !displayMode.isString()) {
        return std::nullopt;
    }
    const auto decodedMetric = statusMetricFromRawValue(metric.toString());
    const auto decodedMode = metricDisplayModeFromRawValue(displayMode.toString());
    if (!decodedMetric || !decodedMode) {
        return std::nullopt;
    }
    return StatusItemEntry{*decodedMetric, enabled.toBool(), *decodedMode};
}

}  // namespace

QJsonArray encodeStatusItemEntries(const QVector<StatusItemEntry>& items) {
    QJsonArray array;
    for (const auto& item : items) {
        array.append(QJsonObject{{metricKey, rawValue(item.metric)},
                                 {enabledKey, item.enabled},
                                 {displayModeKey, rawValue(item.displayMode)}});
    }
    return array;
}

QByteArray encodeStatusItemEntriesText(const QVector<StatusItemEntry>& items) {
    return QJsonDocument(encodeStatusItemEntries(items)).toJson(QJsonDocument::Compact);
}

std::optional<QVector<StatusItemEntry>> decodeStatusItemEntries(const QJsonValue& stored) {
    if (!stored.isArray()) {
        return std::nullopt;
    }
    QVector<StatusItemEntry> items;
    std::bitset<allStatusMetrics.size()> seen;
    for (const auto& element : stored.toArray()) {
        const auto item = decodeItem(element);
        if (!item) {
            return std::nullopt;
        }
        const auto index = static_cast<std::size_t>(item->metric);
        if (seen.test(index)) {
            return std::nullopt;
        }
        seen.set(index);
        items.append(*item);
    }
    return items;
}

std::optional<QVector<StatusItemEntry>> decodeStatusItemEntriesText(const QByteArray& text) {
    QJsonParseError error{};
    const auto document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    return decodeStatusItemEntries(document.array());
}
