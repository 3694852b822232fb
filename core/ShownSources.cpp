#include "core/ShownSources.h"

#include "core/AppSettings.h"

namespace {

MonitorSource sourceOf(MenuBarMetric metric) {
    switch (metric) {
        case MenuBarMetric::cpu:
            return MonitorSource::cpu;
        case MenuBarMetric::ram:
            return MonitorSource::ram;
        case MenuBarMetric::network:
            return MonitorSource::network;
        case MenuBarMetric::gpu:
            return MonitorSource::gpu;
        case MenuBarMetric::battery:
            return MonitorSource::battery;
        case MenuBarMetric::disk:
            return MonitorSource::disk;
        case MenuBarMetric::cpuTemp:
        case MenuBarMetric::gpuTemp:
        case MenuBarMetric::fanSpeed:
            break;
    }
    return MonitorSource::sensors;
}

SourceSet sourceIf(bool shown, MonitorSource source) {
    return shown ? SourceSet{source} : SourceSet{};
}

}  // namespace

SourceSet statusItemSources(const QVector<MenuBarItemConfig>& items) {
    SourceSet sources;
    for (const MenuBarItemConfig& item : items) {
        if (item.enabled) {
            sources = sources | SourceSet{sourceOf(item.metric)};
        }
    }
    return sources;
}

SourceSet compactPanelSources(const AppSettings& settings) {
    return SourceSet{MonitorSource::sensors, MonitorSource::battery} |
           sourceIf(settings.compactShowCPU(), MonitorSource::cpu) |
           sourceIf(settings.compactShowRAM(), MonitorSource::ram) |
           sourceIf(settings.compactShowNetwork(), MonitorSource::network) |
           sourceIf(settings.compactShowDisk(), MonitorSource::disk) |
           sourceIf(settings.compactShowGPU(), MonitorSource::gpu) |
           sourceIf(settings.compactShowProcesses(), MonitorSource::processes);
}
