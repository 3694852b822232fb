#include "status_list/StatusItemList.h"

#include "status_list/StatusItemCodec.h"

#include <algorithm>
#include <bitset>
#include <utility>

namespace status_list {

namespace {

bool isRow(const QVector<StatusItemEntry>& items, int index) {
    return index >= 0 && index < items.size();
}

}  // namespace

QVector<StatusItemEntry> load(const StoredStatusItemSettings& stored) {
    if (stored.items) {
        if (auto decoded = decodeStatusItemEntries(*stored.items)) {
            return completed(std::move(*decoded));
        }
    }
    return legacyList(stored);
}

QVector<StatusItemEntry> completed(QVector<StatusItemEntry> items) {
    for (const auto metric : allStatusMetrics) {
        const bool present = std::any_of(items.cbegin(), items.cend(), [metric](const auto& item) {
            return item.metric == metric;
        });
        if (!present) {
            items.append({metric, false, MetricDisplayMode::textOnly});
        }
    }
    return items;
}

QVector<StatusItemEntry> legacyList(const StoredStatusItemSettings& stored) {
    using enum StatusMetric;
    using enum MetricDisplayMode;
    return {
        {cpu, stored.showCpu.value_or(true), textOnly},
        {ram, stored.showRam.value_or(false), textOnly},
        {network, stored.showNetwork.value_or(false), textOnly},
        {gpu, false, textOnly},
        {battery, false, iconAndText},
        {disk, false, textOnly},
    };
}

bool setEnabled(QVector<StatusItemEntry>& items, int index, bool enabled) {
    if (!isRow(items, index)) {
        return false;
    }
    items[index].enabled = enabled;
    return true;
}

bool setDisplayMode(QVector<StatusItemEntry>& items, int index, MetricDisplayMode mode) {
    if (!isRow(items, index)) {
        return false;
    }
    items[index].displayMode = mode;
    return true;
}

bool moveUp(QVector<StatusItemEntry>& items, int index) {
    if (!isRow(items, index) || index < 1) {
        return false;
    }
    std::swap(items[index], items[index - 1]);
    return true;
}

bool moveDown(QVector<StatusItemEntry>& items, int index) {
    if (!isRow(items, index) || index >= items.size() - 1) {
        return false;
    }
    std::swap(items[index], items[index + 1]);
    return true;
}

QVector<StatusItemEntry> withoutRepeatedMetrics(const QVector<StatusItemEntry>& items) {
    QVector<StatusItemEntry> unique;
    std::bitset<allStatusMetrics.size()> seen;
    for (const auto& item : items) {
        const auto index = static_cast<std::size_t>(item.metric);
        if (!seen.test(index)) {
            seen.set(index);
            unique.append(item);
        }
    }
    return unique;
}

}  // namespace status_list
