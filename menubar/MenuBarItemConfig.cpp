#include "menubar/MenuBarItemConfig.h"

namespace {

struct MetricTexts {
    MenuBarMetric key;
    const char* raw;
    const char* label;
    const char* symbol;
};

constexpr std::array<MetricTexts, 9> metricTexts{{
    {MenuBarMetric::cpu, "cpu", "CPU", "cpu"},
    {MenuBarMetric::ram, "ram", "RAM", "memorychip"},
    {MenuBarMetric::network, "network", "Network", "arrow.up.arrow.down"},
    {MenuBarMetric::gpu, "gpu", "GPU", "rectangle.3.group"},
    {MenuBarMetric::battery, "battery", "Battery", "battery.75percent"},
    {MenuBarMetric::disk, "disk", "Disk", "internaldrive"},
    {MenuBarMetric::cpuTemp, "cpuTemp", "CPU Temp", "thermometer.medium"},
    {MenuBarMetric::gpuTemp, "gpuTemp", "GPU Temp", "thermometer.medium"},
    {MenuBarMetric::fanSpeed, "fanSpeed", "Fan Speed", "fan"},
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

const MetricTexts& textsOf(MenuBarMetric metric) {
    return metricTexts[static_cast<std::size_t>(metric)];
}

const ModeTexts& textsOf(MetricDisplayMode mode) {
    return modeTexts[static_cast<std::size_t>(mode)];
}

}  // namespace

QString rawValue(MenuBarMetric metric) {
    return QString::fromLatin1(textsOf(metric).raw);
}

QString rawValue(MetricDisplayMode mode) {
    return QString::fromLatin1(textsOf(mode).raw);
}

std::optional<MenuBarMetric> menuBarMetricFromRawValue(const QString& raw) {
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

QString settingsLabel(MenuBarMetric metric) {
    return QString::fromLatin1(textsOf(metric).label);
}

QString symbolName(MenuBarMetric metric) {
    return QString::fromLatin1(textsOf(metric).symbol);
}

QString pickerLabel(MetricDisplayMode mode) {
    return QString::fromLatin1(textsOf(mode).pickerLabel);
}
