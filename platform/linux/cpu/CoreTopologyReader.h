#pragma once

#include "platform/CpuSource.h"

#include <filesystem>
#include <vector>

struct CoreTopology {
    CoreCounts counts;
    std::vector<int> efficiencyCpus;  // sorted processor numbers
    bool operator==(const CoreTopology&) const = default;
};

// The efficiency and performance processors under <root>, read once:
// - Intel hybrid parts list them in sys/devices/cpu_atom/cpus and sys/devices/cpu_core/cpus;
// - ARM big.LITTLE parts give each processor a cpu_capacity: the highest capacity is the
//   performance group, every lower one counts as efficiency.
// Neither present, or one capacity for all: both counts 0 and no efficiency processors.
CoreTopology readCoreTopology(const std::filesystem::path& root = "/");
