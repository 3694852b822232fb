#pragma once

#include "providers/BatteryProvider.h"
#include "providers/CpuProvider.h"
#include "providers/DiskProvider.h"
#include "providers/GpuProvider.h"
#include "providers/NetworkProvider.h"
#include "providers/ProcessProvider.h"
#include "providers/RamProvider.h"

#include <filesystem>
#include <memory>
#include <string>

class Clock;

// The samplers on this machine's readers. `root` stands for "/" so tests can point a sampler
// at a fixture tree. Create them on the main thread; `clock` must outlive them.

std::unique_ptr<CpuProvider> makeLinuxCpuProvider(const Clock& clock,
                                                  const std::filesystem::path& root = "/");

std::unique_ptr<RamProvider> makeLinuxRamProvider(const Clock& clock);

// The readers behind the network sampler: /proc and /sys under `root`, getifaddrs, nl80211
// (on a worker thread of its own) and the HTTPS echo service.
NetworkSources makeLinuxNetworkSources(const std::string& root = "/");
std::unique_ptr<NetworkProvider> makeLinuxNetworkProvider(Clock& clock);

std::unique_ptr<BatteryProvider> makeLinuxBatteryProvider(const std::filesystem::path& root = "/");

// statvfs of "/", /proc/diskstats, and the storage scan of this user's folders and the
// mounted volumes on a background thread at nice 19 and idle I/O priority.
// What the background storage scan measures: the categories of the home folder and the
// volumes, or the volumes alone (an exporter, which publishes no category).
enum class StorageDetail { categoriesAndVolumes, volumesOnly };

std::unique_ptr<DiskProvider> makeLinuxDiskProvider(
    Clock& clock, StorageDetail detail = StorageDetail::categoriesAndVolumes);

// DRM cards (amdgpu, i915) under `root` and the NVIDIA management library at `nvmlLibrary`,
// loaded when first needed and called on a worker thread of its own; a missing library gives
// no NVIDIA figures.
std::unique_ptr<GpuProvider> makeLinuxGpuProvider(
    const Clock& clock, const std::filesystem::path& root = "/",
    const std::string& nvmlLibrary = "libnvidia-ml.so.1");

// The current user's processes under `root`/proc.
std::unique_ptr<ProcessProvider> makeLinuxProcessProvider(const Clock& clock,
                                                          const std::filesystem::path& root = "/");
