#pragma once

#include <QString>

#include <array>
#include <optional>

// The metrics the status item can show, in their declared order.
enum class StatusMetric { cpu, ram, network, gpu, battery, disk, cpuTemp, gpuTemp, fanSpeed };

// How one metric is drawn in the status item.
enum class MetricDisplayMode { textOnly, graphOnly, graphAndText, iconAndText };

inline constexpr std::array<StatusMetric, 9> allStatusMetrics{
    StatusMetric::cpu,     StatusMetric::ram,     StatusMetric::network,
    StatusMetric::gpu,     StatusMetric::battery, StatusMetric::disk,
    StatusMetric::cpuTemp, StatusMetric::gpuTemp, StatusMetric::fanSpeed};

inline constexpr std::array<MetricDisplayMode, 4> allMetricDisplayModes{
    MetricDisplayMode::textOnly, MetricDisplayMode::graphOnly, MetricDisplayMode::graphAndText,
    MetricDisplayMode::iconAndText};

// The persisted name of each case ("cpu", "cpuTemp", "graphAndText", ...).
QString rawValue(StatusMetric metric);
QString rawValue(MetricDisplayMode mode);
// Exact, case-sensitive match of a persisted name.
std::optional<StatusMetric> statusMetricFromRawValue(const QString& raw);
std::optional<MetricDisplayMode> metricDisplayModeFromRawValue(const QString& raw);

// What the Settings list shows for a metric: a label with a symbol image. The renderer uses
// the same symbol for the icon-and-text mode.
QString settingsLabel(StatusMetric metric);
QString symbolName(StatusMetric metric);
// The text of the segment that selects a mode ("Text", "Graph", "G+T", "I+T").
QString pickerLabel(MetricDisplayMode mode);

// One entry of the status item's ordered list; the metric is the entry's identity.
struct StatusItemEntry {
    StatusMetric metric = StatusMetric::cpu;
    bool enabled = false;
    MetricDisplayMode displayMode = MetricDisplayMode::textOnly;

    QString id() const { return rawValue(metric); }
    bool operator==(const StatusItemEntry&) const = default;
};
