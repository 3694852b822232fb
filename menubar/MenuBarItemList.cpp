#include "menubar/MenuBarItemList.h"

#include "menubar/MenuBarItemCodec.h"

#include <algorithm>
#include <bitset>
#include <utility>

namespace menubar {

namespace {

bool isRow(const QVector<MenuBarItemConfig>& items, int index) {
    return index >= 0 && index < items.size();
}

}  // namespace

QVector<MenuBarItemConfig> load(const StoredMenuBarSettings& stored) {
    if (stored.items) {
        if (auto decoded = decodeMenuBarItems(*stored.items)) {
            return completed(std::move(*decoded));
        }
    }
    return legacyList(stored);
}

QVector<MenuBarItemConfig> completed(QVector<MenuBarItemConfig> items) {
    for (const auto metric : allMenuBarMetrics) {
        const bool present = std::any_of(items.cbegin(), items.cend(), [metric](const auto& item) {
            return item.metric == metric;
        });
        if (!present) {
            items.append({metric, false, MetricDisplayMode::textOnly});
        }
    }
    return items;
}

QVector<MenuBarItemConfig> legacyList(const StoredMenuBarSettings& stored) {
    using enum MenuBarMetric;
    using enum MetricDisplayMode;
    return {
        {cpu, stored.showCPU.value_or(true), textOnly},
        {ram, stored.showRAM.value_or(false), textOnly},
        {network, stored.showNetwork.value_or(false), textOnly},
        {gpu, false, textOnly},
        {battery, false, iconAndText},
        {disk, false, textOnly},
    };
}

bool setEnabled(QVector<MenuBarItemConfig>& items, int index, bool enabled) {
    if (!isRow(items, index)) {
        return false;
    }
    items[index].enabled = enabled;
    return true;
}

bool setDisplayMode(QVector<MenuBarItemConfig>& items, int index, MetricDisplayMode mode) {
    if (!isRow(items, index)) {
        return false;
    }
    items[index].displayMode = mode;
    return true;
}

bool moveUp(QVector<MenuBarItemConfig>& items, int index) {
    if (!isRow(items, index) || index < 1) {
        return false;
    }
    std::swap(items[index], items[index - 1]);
    return true;
}

bool moveDown(QVector<MenuBarItemConfig>& items, int index) {
    if (!isRow(items, index) || index >= items.size() - 1) {
        return false;
    }
    std::swap(items[index], items[index + 1]);
    return true;
}

QVector<MenuBarItemConfig> withoutRepeatedMetrics(const QVector<MenuBarItemConfig>& items) {
    QVector<MenuBarItemConfig> unique;
    std::bitset<allMenuBarMetrics.size()> seen;
    for (const auto& item : items) {
        const auto index = static_cast<std::size_t>(item.metric);
        if (!seen.test(index)) {
            seen.set(index);
            unique.append(item);
        }
    }
    return unique;
}

}  // namespace menubar
