#pragma once

#include "platform/GpuSource.h"
#include "platform/linux/gpu/nvidia/NvmlApi.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>

// The NVIDIA management library, loaded with dlopen and initialised for as long as the
// session lives; shut down and unloaded when it ends.
class NvmlSession {
public:
    // Absent when the library cannot be loaded, lacks one of the entry points, or does not
    // initialise (no NVIDIA driver loaded). Nothing is reported in either case.
    static std::unique_ptr<NvmlSession> open(const std::string& libraryPath);

    ~NvmlSession();
    NvmlSession(const NvmlSession&) = delete;
    NvmlSession& operator=(const NvmlSession&) = delete;

    // The device at a PCI address ("0000:01:00.0"): its name, busy share and memory. A figure
    // the library cannot give is absent; absent altogether when the library does not know it.
    std::optional<AcceleratorReading> readDevice(const std::string& pciAddress);

private:
    struct EntryPoints {
        NvmlInitFunction init = nullptr;
        NvmlShutdownFunction shutdown = nullptr;
        NvmlDeviceGetHandleByPciBusIdFunction deviceGetHandleByPciBusId = nullptr;
        NvmlDeviceGetUtilizationRatesFunction deviceGetUtilizationRates = nullptr;
        NvmlDeviceGetMemoryInfoFunction deviceGetMemoryInfo = nullptr;
        NvmlDeviceGetNameFunction deviceGetName = nullptr;
    };

    NvmlSession(void* library, EntryPoints entryPoints);
    std::optional<QString> deviceName(const std::string& pciAddress, NvmlDevice device);

    void* library_;
    EntryPoints nvml_;
    std::map<std::string, QString> names_;  // by PCI address, kept once known
};
