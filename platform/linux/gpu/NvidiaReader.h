#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/GpuSource.h"
#include "platform/linux/gpu/NvmlSession.h"
#include "platform/linux/gpu/PciIdDatabase.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// NVIDIA GPUs through the NVIDIA management library, loaded when first needed.
//
// The library powers up a runtime-suspended GPU when asked about it, so before each poll the
// power state of every PCI device bound to the nvidia driver is read from sysfs. While any is
// suspended the library is not called and is shut down if it was running, and each suspended
// device is reported idle under its PCI model name (no NVIDIA name without the library).
// A library that is missing or does not initialise gives no NVIDIA figures and is not tried
// again.
class NvidiaReader {
public:
    NvidiaReader(const std::filesystem::path& root, std::string libraryPath);

    // Finds the devices bound to the nvidia driver, once, and their PCI model names.
    void discover(PciIdDatabase& names);

    std::vector<AcceleratorReading> read();

private:
    struct BoundDevice {
        QString name;
        KeptOpenFile runtimeStatus;
    };

    std::filesystem::path root_;
    std::string libraryPath_;
    std::vector<BoundDevice> boundDevices_;
    std::unique_ptr<NvmlSession> session_;
    bool libraryUnusable_ = false;
};
