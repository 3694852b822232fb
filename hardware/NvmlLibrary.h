#pragma once

#include <memory>
#include <optional>
#include <string>

// NVIDIA's management library, loaded at run time: without it (or without an NVIDIA GPU)
// there are simply no NVIDIA figures. Reads the first GPU.
class NvmlLibrary {
public:
    // nullptr when the library cannot be loaded, lacks a function, fails to initialise or
    // sees no GPU.
    static std::unique_ptr<NvmlLibrary> load(const std::string& path);
    ~NvmlLibrary();
    NvmlLibrary(const NvmlLibrary&) = delete;
    NvmlLibrary& operator=(const NvmlLibrary&) = delete;

    std::optional<double> gpuTemperatureCelsius() const;
    std::optional<double> gpuPowerWatts() const;

private:
    struct Functions;
    NvmlLibrary(void* handle, std::unique_ptr<Functions> functions, void* device);

    void* handle_;
    std::unique_ptr<Functions> functions_;
    void* device_;
};
