#include "status_list/StatusItemEntry.h"

namespace {

struct MetricTexts {
    StatusMetric key;
    const char* raw;
    const char* label;
    const char* symbol;
};

constexpr std::array<MetricTexts, 9> metricTexts{{
    {StatusMetric::cpu, "cpu", "CPU", "cpu"},
    {StatusMetric::ram, "ram", "RAM", "memorychip"},
    {StatusMetric::network, "network", "Network", "arrow.up.arrow.down"},
    {StatusMetric::gpu, "gpu", "GPU", "rectangle.3.group"},
    {StatusMetric::battery, "battery", "Battery", "battery.75percent"},
    {StatusMetric::disk, "disk", "Disk", "internaldrive"},
    {StatusMetric::cpuTemp, "cpuTemp", "CPU Temp", "thermometer.medium"},
    {StatusMetric::gpuTemp, "gpuTemp", "GPU Temp", "thermometer.medium"},
    {StatusMetric::fanSpeed, "fanSpeed", "Fan Speed", "fan"},
}};

struct ModeTexts {
    MetricDisplayMode key;
    const char* raw;
    const char* pickerLabel;
};

constexpr std::array<ModeTexts, 4> modeTexts{{
    {MetricDisplayMode::textOnly, "textOnly", "Text"},
    {MetricDisplayMode::graphOnly, "graphOnly", "Graph"},
    {MetricDisplayMode::graphAndText, "graphAndText", "G+T"},
    {MetricDisplayMode::iconAndText, "iconAndText", "I+T"},
}};

// The lookups below index the tables by case, so each table follows the declared order.
template <typename Table>
constexpr bool followsDeclaredOrder(const Table& table) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<std::size_t>(table[i].key) != i) {
            return false;
        }
    }
    return true;
}

static_assert(followsDeclaredOrder(metricTexts));
static_assert(followsDeclaredOrder(modeTexts));

const MetricTexts& textsOf(StatusMetric metric) {
    return metricTexts[static_cast<std::size_t>(metric)];
}

const ModeTexts& textsOf(MetricDisplayMode mode) {
    return modeTexts[static_cast<std::size_t>(mode)];
}

}  // namespace

QString rawValue(StatusMetric metric) {
    return QString::fromLatin1(textsOf(metric).raw);
}

QString rawValue(MetricDisplayMode mode) {
    return QString::fromLatin1(textsOf(mode).raw);
}

std::optional<StatusMetric> statusMetricFromRawValue(const QString& raw) {
    for (const auto& texts : metricTexts) {
        if (raw == QLatin1String(texts.raw)) {
            return texts.key;
        }
    }
    return std::nullopt;
}

std::optional<MetricDisplayMode> metricDisplayModeFromRawValue(const QString& raw) {
    for (const auto& texts : modeTexts) {
        if (raw == QLatin1String(texts.raw)) {
            return texts.key;
        }
    }
    return std::nullopt;
}

QString settingsLabel(StatusMetric metric) {
    return QString::fromLatin1(textsOf(metric).label);
}

QString symbolName(StatusMetric metric) {
    return QString::fromLatin1(textsOf(metric).symbol);
}

QString pickerLabel(MetricDisplayMode mode) {
    return QString::fromLatin1(textsOf(mode).pickerLabel);
}
