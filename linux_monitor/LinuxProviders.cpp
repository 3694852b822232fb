#include "linux_monitor/LinuxProviders.h"

#include "platform/linux/cpu/LinuxCpuSource.h"
#include "platform/linux/filesystem/LinuxStorageSource.h"
#include "platform/linux/filesystem/ThreadPriority.h"
#include "platform/linux/gpu/LinuxAcceleratorSource.h"
#include "platform/linux/memory/LinuxMemorySource.h"
#include "platform/linux/net/DefaultRouteReader.h"
#include "platform/linux/net/InterfaceAddressReader.h"
#include "platform/linux/net/InterfaceClassReader.h"
#include "platform/linux/net/NetDevReader.h"
#include "platform/linux/net/WifiSsidLookup.h"
#include "platform/linux/net/WifiSsidReader.h"
#include "platform/linux/power/PowerSupplyReader.h"
#include "platform/linux/process/LinuxProcessSource.h"
#include "platform/linux/storage/LinuxDiskSource.h"
#include "providers/BackgroundStorageScanner.h"
#include "providers/PublicAddressFetcher.h"
#include "providers/VolumesOnlyStorageSource.h"

std::unique_ptr<CpuProvider> makeLinuxCpuProvider(const Clock& clock,
                                                  const std::filesystem::path& root) {
    return std::make_unique<CpuProvider>(makeLinuxCpuSource(root), clock);
}

std::unique_ptr<RamProvider> makeLinuxRamProvider(const Clock& clock) {
    return std::make_unique<RamProvider>(std::make_unique<LinuxMemorySource>("/"), clock);
}

NetworkSources makeLinuxNetworkSources(const std::string& root) {
    NetworkSources sources;
    sources.counters = std::make_unique<NetDevReader>(root);
    sources.traits = std::make_unique<InterfaceClassReader>(root);
    sources.routes = std::make_unique<DefaultRouteReader>(root);
    sources.addresses = std::make_unique<InterfaceAddressReader>();
    sources.wifi = std::make_unique<WifiSsidLookup>(std::make_unique<WifiSsidReader>());
    sources.publicAddress = std::make_unique<HttpPublicAddressFetcher>();
    return sources;
}

std::unique_ptr<NetworkProvider> makeLinuxNetworkProvider(Clock& clock) {
    return std::make_unique<NetworkProvider>(clock, makeLinuxNetworkSources());
}

std::unique_ptr<BatteryProvider> makeLinuxBatteryProvider(const std::filesystem::path& root) {
    return std::make_unique<BatteryProvider>(std::make_unique<PowerSupplyReader>(root));
}

std::unique_ptr<DiskProvider> makeLinuxDiskProvider(Clock& clock, StorageDetail detail) {
    auto linuxSource = std::make_unique<LinuxStorageSource>(currentStorageLocations());
    std::shared_ptr<StorageSource> source;
    if (detail == StorageDetail::volumesOnly) {
        source = std::make_shared<VolumesOnlyStorageSource>(std::move(linuxSource));
    } else {
        source = std::move(linuxSource);
    }
    auto scanner = std::make_unique<BackgroundStorageScanner>(
        std::move(source), [] { moveCurrentThreadToBackground(); });
    return std::make_unique<DiskProvider>(clock, makeLinuxDiskSource(), std::move(scanner));
}

std::unique_ptr<GpuProvider> makeLinuxGpuProvider(const Clock& clock,
                                                  const std::filesystem::path& root,
                                                  const std::string& nvmlLibrary) {
    return std::make_unique<GpuProvider>(
        std::make_unique<LinuxAcceleratorSource>(clock, root, nvmlLibrary));
}

std::unique_ptr<ProcessProvider> makeLinuxProcessProvider(const Clock& clock,
                                                          const std::filesystem::path& root) {
    return std::make_unique<ProcessProvider>(makeLinuxProcessSource(root), clock);
}
