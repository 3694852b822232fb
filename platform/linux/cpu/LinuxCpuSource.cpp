#include "platform/linux/cpu/LinuxCpuSource.h"

#include "platform/linux/cpu/CoreTopologyReader.h"

LinuxCpuSource::LinuxCpuSource(const std::filesystem::path& root)
    : LinuxCpuSource(root, readCoreTopology(root)) {}

LinuxCpuSource::LinuxCpuSource(const std::filesystem::path& root, CoreTopology topology)
    : coreCounts_(topology.counts),
      procStat_(root, std::move(topology.efficiencyCpus)),
      loadAverages_(root) {}

CpuCounters LinuxCpuSource::readCounters() {
    CpuCounters counters;
    if (auto procStat = procStat_.read()) {
        counters.ticks = std::move(procStat->ticks);
        counters.bootTimeSeconds = procStat->bootTimeSeconds;
    }
    counters.loadAverages = loadAverages_.read();
    return counters;
}

std::unique_ptr<CpuSource> makeLinuxCpuSource(const std::filesystem::path& root) {
    return std::make_unique<LinuxCpuSource>(root);
}
