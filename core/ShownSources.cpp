#include "core/ShownSources.h"

#include "core/AppSettings.h"

namespace {

MonitorSource sourceOf(StatusMetric metric) {
    switch (metric) {
        case StatusMetric::cpu:
            return MonitorSource::cpu;
        case StatusMetric::ram:
            return MonitorSource::ram;
        case StatusMetric::network:
            return MonitorSource::network;
        case StatusMetric::gpu:
            return MonitorSource::gpu;
        case StatusMetric::battery:
            return MonitorSource::battery;
        case StatusMetric::disk:
            return MonitorSource::disk;
        case StatusMetric::cpuTemp:
        case StatusMetric::gpuTemp:
        case StatusMetric::fanSpeed:
            break;
    }
    return MonitorSource::sensors;
}

SourceSet sourceIf(bool shown, MonitorSource source) {
    return shown ? SourceSet{source} : SourceSet{};
}

}  // namespace

SourceSet statusItemSources(const QVector<StatusItemEntry>& items) {
    SourceSet sources;
    for (const StatusItemEntry& item : items) {
        if (item.enabled) {
            sources = sources | SourceSet{sourceOf(item.metric)};
        }
    }
    return sources;
}

SourceSet compactPanelSources(const AppSettings& settings) {
    return SourceSet{MonitorSource::sensors, MonitorSource::battery} |
           sourceIf(settings.compactShowCpu(), MonitorSource::cpu) |
           sourceIf(settings.compactShowRam(), MonitorSource::ram) |
           sourceIf(settings.compactShowNetwork(), MonitorSource::network) |
           sourceIf(settings.compactShowDisk(), MonitorSource::disk) |
           sourceIf(settings.compactShowGpu(), MonitorSource::gpu) |
           sourceIf(settings.compactShowProcesses(), MonitorSource::processes);
}
