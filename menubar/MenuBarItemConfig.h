#pragma once

#include <QString>

// The metrics the status item can show, in their declared order.
enum class MenuBarMetric { cpu, ram, network, gpu, battery, disk, cpuTemp, gpuTemp, fanSpeed };

// How one metric is drawn in the status item.
enum class MetricDisplayMode { textOnly, graphOnly, graphAndText, iconAndText };

// One entry of the status item's ordered list; the metric is the entry's identity.
struct MenuBarItemConfig {
    MenuBarMetric metric = MenuBarMetric::cpu;
    bool enabled = false;
    MetricDisplayMode displayMode = MetricDisplayMode::textOnly;
    bool operator==(const MenuBarItemConfig&) const = default;
};
