#include "hardware/NvmlLibrary.h"

#include <dlfcn.h>

#include <cstring>

namespace {

template <typename Function>
bool lookUp(void* handle, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, symbol));
    return function != nullptr;
}

}  // namespace

std::unique_ptr<NvmlLibrary> NvmlLibrary::open(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    EntryPoints nvml;
    const bool complete =
        lookUp(handle, NvmlSymbol::init, nvml.init) &&
        lookUp(handle, NvmlSymbol::shutdown, nvml.shutdown) &&
        lookUp(handle, NvmlSymbol::deviceGetCount, nvml.deviceGetCount) &&
        lookUp(handle, NvmlSymbol::deviceGetHandleByIndex, nvml.deviceGetHandleByIndex) &&
        lookUp(handle, NvmlSymbol::deviceGetHandleByPciBusId, nvml.deviceGetHandleByPciBusId) &&
        lookUp(handle, NvmlSymbol::deviceGetName, nvml.deviceGetName) &&
        lookUp(handle, NvmlSymbol::deviceGetUtilizationRates, nvml.deviceGetUtilizationRates) &&
        lookUp(handle, NvmlSymbol::deviceGetMemoryInfo, nvml.deviceGetMemoryInfo) &&
        lookUp(handle, NvmlSymbol::deviceGetTemperature, nvml.deviceGetTemperature) &&
        lookUp(handle, NvmlSymbol::deviceGetPowerUsage, nvml.deviceGetPowerUsage);
    if (!complete || nvml.init() != kNvmlSuccess) {
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<NvmlLibrary>(new NvmlLibrary(handle, nvml));
}

std::unique_ptr<NvmlLibrary> NvmlLibrary::load(const std::string& path) {
    auto library = open(path);
    if (!library) {
        return nullptr;
    }
    unsigned int count = 0;
    NvmlDevice device = nullptr;
    if (library->nvml_.deviceGetCount(&count) != kNvmlSuccess || count == 0 ||
        library->nvml_.deviceGetHandleByIndex(0, &device) != kNvmlSuccess) {
        return nullptr;
    }
    library->firstDevice_ = device;
    return library;
}

NvmlLibrary::NvmlLibrary(void* handle, EntryPoints entryPoints)
    : handle_(handle), nvml_(entryPoints) {}

NvmlLibrary::~NvmlLibrary() {
    nvml_.shutdown();
    dlclose(handle_);
}

std::optional<NvmlDevice> NvmlLibrary::deviceByPciBusId(const std::string& pciBusId) const {
    NvmlDevice device = nullptr;
    if (nvml_.deviceGetHandleByPciBusId(pciBusId.c_str(), &device) != kNvmlSuccess) {
        return std::nullopt;
    }
    return device;
}

std::optional<std::string> NvmlLibrary::name(NvmlDevice device) const {
    char buffer[kNvmlDeviceNameBufferSize] = {};
    if (nvml_.deviceGetName(device, buffer, sizeof buffer) != kNvmlSuccess) {
        return std::nullopt;
    }
    // A name that fills the buffer without a terminator is taken up to its end.
    const std::size_t length = strnlen(buffer, sizeof buffer);
    if (length == 0) {
        return std::nullopt;
    }
    return std::string(buffer, length);
}

std::optional<NvmlUtilization> NvmlLibrary::utilization(NvmlDevice device) const {
    NvmlUtilization utilization{};
    if (nvml_.deviceGetUtilizationRates(device, &utilization) != kNvmlSuccess) {
        return std::nullopt;
    }
    return utilization;
}

std::optional<NvmlMemory> NvmlLibrary::memory(NvmlDevice device) const {
    NvmlMemory memory{};
    if (nvml_.deviceGetMemoryInfo(device, &memory) != kNvmlSuccess) {
        return std::nullopt;
    }
    return memory;
}

std::optional<double> NvmlLibrary::temperatureCelsius(NvmlDevice device) const {
    unsigned int celsius = 0;
    if (nvml_.deviceGetTemperature(device, kNvmlTemperatureGpu, &celsius) != kNvmlSuccess) {
        return std::nullopt;
    }
    return static_cast<double>(celsius);
}

std::optional<double> NvmlLibrary::powerWatts(NvmlDevice device) const {
    unsigned int milliwatts = 0;
    if (nvml_.deviceGetPowerUsage(device, &milliwatts) != kNvmlSuccess) {
        return std::nullopt;
    }
    return static_cast<double>(milliwatts) / 1000.0;
}

std::optional<double> NvmlLibrary::gpuTemperatureCelsius() const {
    return firstDevice_ ? temperatureCelsius(*firstDevice_) : std::nullopt;
}

std::optional<double> NvmlLibrary::gpuPowerWatts() const {
    return firstDevice_ ? powerWatts(*firstDevice_) : std::nullopt;
}
