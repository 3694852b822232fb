#include "platform/linux/gpu/LinuxAcceleratorSource.h"

#include "platform/linux/pci/PciIdDatabase.h"

LinuxAcceleratorSource::LinuxAcceleratorSource(const Clock& clock,
                                               const std::filesystem::path& root,
                                               std::string nvmlLibraryPath)
    : root_(root), drmCards_(root, clock), nvidia_(root, std::move(nvmlLibraryPath)) {}

QList<QVariantMap> LinuxAcceleratorSource::readAccelerators() {
    if (!discovered_) {
        PciIdDatabase names(PciIdDatabase::standardLocations(root_));
        drmCards_.discover(names);
        nvidia_.discover(names);
        discovered_ = true;
    }
    QList<QVariantMap> accelerators;
    for (const auto& reading : drmCards_.read()) {
        accelerators.append(acceleratorProperties(reading));
    }
    for (const auto& reading : nvidia_.read()) {
        accelerators.append(acceleratorProperties(reading));
    }
    return accelerators;
}
