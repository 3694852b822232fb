#include "hardware/NvmlLibrary.h"

#include <dlfcn.h>

// The few entry points used, declared from NVML's documented C interface: every call returns
// 0 on success; a device is an opaque handle.
namespace {

using NvmlReturn = int;
using NvmlDevice = void*;
constexpr NvmlReturn kNvmlSuccess = 0;
constexpr int kNvmlTemperatureGpu = 0;

using InitFunction = NvmlReturn (*)();
using ShutdownFunction = NvmlReturn (*)();
using DeviceCountFunction = NvmlReturn (*)(unsigned int*);
using DeviceByIndexFunction = NvmlReturn (*)(unsigned int, NvmlDevice*);
using TemperatureFunction = NvmlReturn (*)(NvmlDevice, int, unsigned int*);
using PowerUsageFunction = NvmlReturn (*)(NvmlDevice, unsigned int*);

template <typename Function>
Function symbol(void* handle, const char* name) {
    return reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

struct NvmlLibrary::Functions {
    ShutdownFunction shutdown = nullptr;
    TemperatureFunction temperature = nullptr;
    PowerUsageFunction powerUsage = nullptr;
};

std::unique_ptr<NvmlLibrary> NvmlLibrary::load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        return nullptr;
    }
    auto functions = std::make_unique<Functions>();
    const auto init = symbol<InitFunction>(handle, "nvmlInit_v2");
    const auto deviceCount = symbol<DeviceCountFunction>(handle, "nvmlDeviceGetCount_v2");
    const auto deviceByIndex =
        symbol<DeviceByIndexFunction>(handle, "nvmlDeviceGetHandleByIndex_v2");
    functions->shutdown = symbol<ShutdownFunction>(handle, "nvmlShutdown");
    functions->temperature = symbol<TemperatureFunction>(handle, "nvmlDeviceGetTemperature");
    functions->powerUsage = symbol<PowerUsageFunction>(handle, "nvmlDeviceGetPowerUsage");
    if (!init || !deviceCount || !deviceByIndex || !functions->shutdown ||
        !functions->temperature || !functions->powerUsage || init() != kNvmlSuccess) {
        dlclose(handle);
        return nullptr;
    }
    unsigned int count = 0;
    NvmlDevice device = nullptr;
    if (deviceCount(&count) != kNvmlSuccess || count == 0 ||
        deviceByIndex(0, &device) != kNvmlSuccess) {
        functions->shutdown();
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<NvmlLibrary>(new NvmlLibrary(handle, std::move(functions), device));
}

NvmlLibrary::NvmlLibrary(void* handle, std::unique_ptr<Functions> functions, void* device)
    : handle_(handle), functions_(std::move(functions)), device_(device) {}

NvmlLibrary::~NvmlLibrary() {
    functions_->shutdown();
    dlclose(handle_);
}

std::optional<double> NvmlLibrary::gpuTemperatureCelsius() const {
    unsigned int celsius = 0;
    if (functions_->temperature(device_, kNvmlTemperatureGpu, &celsius) != kNvmlSuccess) {
        return std::nullopt;
    }
    return static_cast<double>(celsius);
}

std::optional<double> NvmlLibrary::gpuPowerWatts() const {
    unsigned int milliwatts = 0;
    if (functions_->powerUsage(device_, &milliwatts) != kNvmlSuccess) {
        return std::nullopt;
    }
    return static_cast<double>(milliwatts) / 1000.0;
}
