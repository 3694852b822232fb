#pragma once

#include "platform/CpuSource.h"
#include "platform/linux/cpu/CoreTopologyReader.h"
#include "platform/linux/cpu/LoadAverageReader.h"
#include "platform/linux/cpu/ProcStatReader.h"

#include <filesystem>
#include <memory>

// The CPU sampler's numbers on Linux: the core kinds once at creation, then per poll one read
// of proc/stat (ticks and boot time) and one of proc/loadavg, both on kept descriptors.
class LinuxCpuSource final : public CpuSource {
public:
    explicit LinuxCpuSource(const std::filesystem::path& root = "/");

    CoreCounts coreCounts() const override { return coreCounts_; }
    CpuCounters readCounters() override;

private:
    LinuxCpuSource(const std::filesystem::path& root, CoreTopology topology);

    CoreCounts coreCounts_;
    ProcStatReader procStat_;
    LoadAverageReader loadAverages_;
};

std::unique_ptr<CpuSource> makeLinuxCpuSource(const std::filesystem::path& root = "/");
