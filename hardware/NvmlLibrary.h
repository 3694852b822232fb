#pragma once

#include "hardware/NvmlApi.h"

#include <memory>
#include <optional>
#include <string>

// NVIDIA's management library, loaded with dlopen and initialised for as long as the object
// lives; shut down and unloaded when it ends. Without it (or without an NVIDIA GPU) there are
// simply no NVIDIA figures. Not thread-safe: one thread at a time calls it.
class NvmlLibrary {
public:
    // nullptr when the library cannot be loaded, lacks one of the entry points or does not
    // initialise (no NVIDIA driver loaded).
    static std::unique_ptr<NvmlLibrary> open(const std::string& path);
    // As open, and nullptr too when the library sees no GPU: for the first GPU's figures.
    static std::unique_ptr<NvmlLibrary> load(const std::string& path);

    ~NvmlLibrary();
    NvmlLibrary(const NvmlLibrary&) = delete;
    NvmlLibrary& operator=(const NvmlLibrary&) = delete;

    // The device at a PCI address ("0000:01:00.0"); absent when the library does not know it.
    std::optional<NvmlDevice> deviceByPciBusId(const std::string& pciBusId) const;

    // A device's figures; each absent when the library cannot give it.
    std::optional<std::string> name(NvmlDevice device) const;  // never empty
    std::optional<NvmlUtilization> utilization(NvmlDevice device) const;
    std::optional<NvmlMemory> memory(NvmlDevice device) const;
    std::optional<double> temperatureCelsius(NvmlDevice device) const;
    std::optional<double> powerWatts(NvmlDevice device) const;

    // The same of the first GPU, the one `load` found; absent after `open`.
    std::optional<double> gpuTemperatureCelsius() const;
    std::optional<double> gpuPowerWatts() const;

private:
    struct EntryPoints {
        NvmlInitFunction init = nullptr;
        NvmlShutdownFunction shutdown = nullptr;
        NvmlDeviceGetCountFunction deviceGetCount = nullptr;
        NvmlDeviceGetHandleByIndexFunction deviceGetHandleByIndex = nullptr;
        NvmlDeviceGetHandleByPciBusIdFunction deviceGetHandleByPciBusId = nullptr;
        NvmlDeviceGetNameFunction deviceGetName = nullptr;
        NvmlDeviceGetUtilizationRatesFunction deviceGetUtilizationRates = nullptr;
        NvmlDeviceGetMemoryInfoFunction deviceGetMemoryInfo = nullptr;
        NvmlDeviceGetTemperatureFunction deviceGetTemperature = nullptr;
        NvmlDeviceGetPowerUsageFunction deviceGetPowerUsage = nullptr;
    };

    NvmlLibrary(void* handle, EntryPoints entryPoints);

    void* handle_;
    EntryPoints nvml_;
    std::optional<NvmlDevice> firstDevice_;
};
