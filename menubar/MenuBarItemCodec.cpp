#include "menubar/MenuBarItemCodec.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <bitset>

namespace {

const QString metricKey = QStringLiteral("metric");
const QString enabledKey = QStringLiteral("enabled");
const QString displayModeKey = QStringLiteral("displayMode");

std::optional<MenuBarItemConfig> decodeItem(const QJsonValue& element) {
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
    const auto decodedMetric = menuBarMetricFromRawValue(metric.toString());
    const auto decodedMode = metricDisplayModeFromRawValue(displayMode.toString());
    if (!decodedMetric || !decodedMode) {
        return std::nullopt;
    }
    return MenuBarItemConfig{*decodedMetric, enabled.toBool(), *decodedMode};
}

}  // namespace

QJsonArray encodeMenuBarItems(const QVector<MenuBarItemConfig>& items) {
    QJsonArray array;
    for (const auto& item : items) {
        array.append(QJsonObject{{metricKey, rawValue(item.metric)},
                                 {enabledKey, item.enabled},
                                 {displayModeKey, rawValue(item.displayMode)}});
    }
    return array;
}

QByteArray encodeMenuBarItemsText(const QVector<MenuBarItemConfig>& items) {
    return QJsonDocument(encodeMenuBarItems(items)).toJson(QJsonDocument::Compact);
}

std::optional<QVector<MenuBarItemConfig>> decodeMenuBarItems(const QJsonValue& stored) {
    if (!stored.isArray()) {
        return std::nullopt;
    }
    QVector<MenuBarItemConfig> items;
    std::bitset<allMenuBarMetrics.size()> seen;
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

std::optional<QVector<MenuBarItemConfig>> decodeMenuBarItemsText(const QByteArray& text) {
    QJsonParseError error{};
    const auto document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    return decodeMenuBarItems(document.array());
}
