#pragma once

#include "core/LatestResultWorker.h"
#include "platform/GpuSource.h"
#include "platform/linux/pci/PciIdDatabase.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// NVIDIA Gpus through the NVIDIA management library, loaded when first needed.
//
// The library's calls can block for long, so they all run on a worker thread of their own and
// a poll takes the figures of the latest finished lookup; until the first has finished each
// device is listed under its PCI model name without figures.
//
// The library powers up a runtime-suspended GPU when asked about it, so before each lookup the
// power state of every PCI device bound to the nvidia driver is read from sysfs. While any is
// suspended the library is not called and is shut down if it was running, and each suspended
// device is reported idle. A library that is missing or does not initialise gives no NVIDIA
// figures and is not tried again.
class NvidiaReader {
public:
    NvidiaReader(const std::filesystem::path& root, std::string libraryPath);
    ~NvidiaReader();

    // Finds the devices bound to the nvidia driver, once, with their PCI model names and
    // whether one drives the display.
    void discover(PciIdDatabase& names);

    // One reading per device found, by PCI address. Starts the next lookup unless one is still
    // running; never waits for it.
    std::vector<AcceleratorReading> read();

    // Blocks until the lookup in flight, if any, has finished; never called by a poll.
    void waitUntilIdle();

private:
    class Library;
    using Lookup = std::vector<std::optional<AcceleratorReading>>;  // by device, as found

    struct BoundDevice {
        QString name;
        bool drivesDisplay = false;
    };

    std::filesystem::path root_;
    std::string libraryPath_;
    std::vector<BoundDevice> boundDevices_;
    std::unique_ptr<LatestResultWorker<Library, Lookup>> worker_;
};
