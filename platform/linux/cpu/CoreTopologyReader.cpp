#include "platform/linux/cpu/CoreTopologyReader.h"

#include "linux_io/NumberedEntries.h"
#include "linux_io/SysfsText.h"
#include "platform/linux/cpu/CpuListParser.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>

namespace {

std::optional<std::vector<int>> readCpuList(const std::filesystem::path& path) {
    const auto text = readTextFile(path);
    return text ? parseCpuList(*text) : std::nullopt;
}

std::optional<CoreTopology> readHybridPmus(const std::filesystem::path& root) {
    const auto atom = root / "sys/devices/cpu_atom/cpus";
    const auto core = root / "sys/devices/cpu_core/cpus";
    std::error_code error;
    if (!std::filesystem::exists(atom, error) && !std::filesystem::exists(core, error)) {
        return std::nullopt;
    }
    CoreTopology topology;
    if (const auto efficiency = readCpuList(atom)) {
        topology.counts.efficiency = static_cast<int>(efficiency->size());
        topology.efficiencyCpus = *efficiency;
    }
    if (const auto performance = readCpuList(core)) {
        topology.counts.performance = static_cast<int>(performance->size());
    }
    return topology;
}

CoreTopology readCapacityGroups(const std::filesystem::path& root) {
    std::map<std::int64_t, std::vector<int>> cpusByCapacity;
    for (const NumberedEntry& cpu : numberedEntries(root / "sys/devices/system/cpu", "cpu")) {
        if (const auto capacity = readIntegerFile(cpu.path / "cpu_capacity")) {
            cpusByCapacity[*capacity].push_back(cpu.number);
        }
    }
    CoreTopology topology;
    if (cpusByCapacity.size() < 2) {
        return topology;
    }
    const auto highest = std::prev(cpusByCapacity.end());
    topology.counts.performance = static_cast<int>(highest->second.size());
    for (auto group = cpusByCapacity.begin(); group != highest; ++group) {
        topology.efficiencyCpus.insert(topology.efficiencyCpus.end(), group->second.begin(),
                                       group->second.end());
    }
    std::sort(topology.efficiencyCpus.begin(), topology.efficiencyCpus.end());
    topology.counts.efficiency = static_cast<int>(topology.efficiencyCpus.size());
    return topology;
}

}  // namespace

CoreTopology readCoreTopology(const std::filesystem::path& root) {
    if (auto hybrid = readHybridPmus(root)) {
        return *hybrid;
    }
    return readCapacityGroups(root);
}
