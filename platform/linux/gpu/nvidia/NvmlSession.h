#pragma once

#include "hardware/NvmlLibrary.h"
#include "platform/GpuSource.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>

// The GPU reader's use of NVIDIA's management library: a device's figures as an accelerator
// reading. The library stays initialised for as long as the session lives.
class NvmlSession {
public:
    // Absent when the library cannot be loaded, lacks one of the entry points, or does not
    // initialise (no NVIDIA driver loaded). Nothing is reported in either case.
    static std::unique_ptr<NvmlSession> open(const std::string& libraryPath);

    // The device at a PCI address ("0000:01:00.0"): its name, busy share and memory. A figure
    // the library cannot give is absent; absent altogether when the library does not know it.
    std::optional<AcceleratorReading> readDevice(const std::string& pciAddress);

private:
    explicit NvmlSession(std::unique_ptr<NvmlLibrary> library) : nvml_(std::move(library)) {}
    std::optional<QString> deviceName(const std::string& pciAddress, NvmlDevice device);

    std::unique_ptr<NvmlLibrary> nvml_;
    std::map<std::string, QString> names_;  // by PCI address, kept once known
};
