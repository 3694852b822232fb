#pragma once

#include "core/Clock.h"
#include "platform/GpuSource.h"
#include "platform/linux/gpu/DrmCardReader.h"
#include "platform/linux/gpu/nvidia/NvidiaReader.h"

#include <filesystem>
#include <memory>
#include <string>

// Every accelerator of this machine: the DRM cards by number, then the NVIDIA devices by PCI
// address, the NVIDIA figures from the latest finished lookup of their worker thread. The
// cards are found on the first read and kept; the PCI ID database is read at most then, and
// let go once every card has its name.
class LinuxAcceleratorSource final : public AcceleratorSource {
public:
    LinuxAcceleratorSource(const Clock& clock, const std::filesystem::path& root,
                           std::string nvmlLibraryPath);

    QList<QVariantMap> readAccelerators() override;

    // Blocks until the NVIDIA lookup in flight, if any, has finished; never called by a poll.
    void waitUntilIdle() { nvidia_.waitUntilIdle(); }

private:
    std::filesystem::path root_;
    DrmCardReader drmCards_;
    NvidiaReader nvidia_;
    bool discovered_ = false;
};
