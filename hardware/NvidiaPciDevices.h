#pragma once

#include <filesystem>
#include <vector>

// NVIDIA display controllers under <root>/sys/bus/pci/devices, by the runtime power-state
// file of each, so that a sleeping GPU is left asleep instead of being woken by a query.
class NvidiaPciDevices {
public:
    explicit NvidiaPciDevices(const std::filesystem::path& root);
    bool empty() const { return runtimeStatusFiles_.empty(); }
    // True when at least one of them is not runtime-suspended.
    bool anyAwake() const;

private:
    std::vector<std::filesystem::path> runtimeStatusFiles_;
};
