#pragma once

#include "platform/GpuSource.h"
#include "platform/linux/gpu/NvmlApi.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

    // One reading per device, by index: its name, busy share and memory. A figure the library
    // cannot give is absent; a device whose handle cannot be had is left out.
    std::vector<AcceleratorReading> readDevices();

private:
    struct EntryPoints {
        NvmlInitFunction init = nullptr;
        NvmlShutdownFunction shutdown = nullptr;
        NvmlDeviceGetCountFunction deviceGetCount = nullptr;
        NvmlDeviceGetHandleByIndexFunction deviceGetHandleByIndex = nullptr;
        NvmlDeviceGetUtilizationRatesFunction deviceGetUtilizationRates = nullptr;
        NvmlDeviceGetMemoryInfoFunction deviceGetMemoryInfo = nullptr;
        NvmlDeviceGetNameFunction deviceGetName = nullptr;
    };

    NvmlSession(void* library, EntryPoints entryPoints);
    std::optional<QString> deviceName(unsigned int index, NvmlDevice device);

    void* library_;
    EntryPoints nvml_;
    std::vector<std::optional<QString>> names_;  // by index, kept once known
};
