// A stand-in for the NVIDIA management library, built only for tests and loaded by path. It
// answers from a device list the test sets through the fake_nvml_* controls, refuses every
// device call while not initialised, and counts what it was asked.

#include "platform/linux/gpu/nvidia/NvmlApi.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr NvmlReturn kUninitialized = 1;
constexpr NvmlReturn kInvalidArgument = 2;
constexpr NvmlReturn kNotFound = 6;

struct FakeDevice {
    std::string busId;
    std::string name;
    unsigned int gpuPercent = 0;
    unsigned long long usedBytes = 0;
    unsigned long long totalBytes = 0;
};

struct FakeState {
    std::vector<FakeDevice> devices;
    NvmlReturn initResult = kNvmlSuccess;
    NvmlReturn nameResult = kNvmlSuccess;
    int initCalls = 0;
    int shutdownCalls = 0;
    int deviceCalls = 0;
    bool initialized = false;
};

FakeState& state() {
    static FakeState instance;
    return instance;
}

FakeDevice* deviceOf(NvmlDevice handle) {
    auto& devices = state().devices;
    for (auto& device : devices) {
        if (reinterpret_cast<NvmlDevice>(&device) == handle) {
            return &device;
        }
    }
    return nullptr;
}

NvmlReturn deviceCall(NvmlDevice handle, FakeDevice*& device) {
    ++state().deviceCalls;
    if (!state().initialized) {
        return kUninitialized;
    }
    device = deviceOf(handle);
    return device ? kNvmlSuccess : kInvalidArgument;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void fake_nvml_reset() {
    state() = FakeState{};
}

__attribute__((visibility("default"))) void fake_nvml_set_init_result(int result) {
    state().initResult = result;
}

__attribute__((visibility("default"))) void fake_nvml_set_name_result(int result) {
    state().nameResult = result;
}

__attribute__((visibility("default"))) void fake_nvml_add_device(const char* busId,
                                                                 const char* name,
                                                                 unsigned int gpuPercent,
                                                                 unsigned long long usedBytes,
                                                                 unsigned long long totalBytes) {
    state().devices.push_back({busId, name, gpuPercent, usedBytes, totalBytes});
}

__attribute__((visibility("default"))) int fake_nvml_init_calls() {
    return state().initCalls;
}

__attribute__((visibility("default"))) int fake_nvml_shutdown_calls() {
    return state().shutdownCalls;
}

__attribute__((visibility("default"))) int fake_nvml_device_calls() {
    return state().deviceCalls;
}

__attribute__((visibility("default"))) NvmlReturn nvmlInit_v2() {
    ++state().initCalls;
    state().initialized = state().initResult == kNvmlSuccess;
    return state().initResult;
}

__attribute__((visibility("default"))) NvmlReturn nvmlShutdown() {
    ++state().shutdownCalls;
    if (!state().initialized) {
        return kUninitialized;
    }
    state().initialized = false;
    return kNvmlSuccess;
}

__attribute__((visibility("default"))) NvmlReturn nvmlDeviceGetHandleByPciBusId_v2(
    const char* pciBusId, NvmlDevice* device) {
    ++state().deviceCalls;
    if (!state().initialized) {
        return kUninitialized;
    }
    for (auto& candidate : state().devices) {
        if (candidate.busId == pciBusId) {
            *device = reinterpret_cast<NvmlDevice>(&candidate);
            return kNvmlSuccess;
        }
    }
    return kNotFound;
}

__attribute__((visibility("default"))) NvmlReturn nvmlDeviceGetUtilizationRates(
    NvmlDevice handle, NvmlUtilization* utilization) {
    FakeDevice* device = nullptr;
    const NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess) {
        *utilization = {device->gpuPercent, 0};
    }
    return result;
}

__attribute__((visibility("default"))) NvmlReturn nvmlDeviceGetMemoryInfo(NvmlDevice handle,
                                                                          NvmlMemory* memory) {
    FakeDevice* device = nullptr;
    const NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess) {
        *memory = {device->totalBytes, device->totalBytes - device->usedBytes, device->usedBytes};
    }
    return result;
}

__attribute__((visibility("default"))) NvmlReturn nvmlDeviceGetName(NvmlDevice handle, char* name,
                                                                    unsigned int length) {
    FakeDevice* device = nullptr;
    NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess && state().nameResult != kNvmlSuccess) {
        result = state().nameResult;
    }
    if (result != kNvmlSuccess) {
        return result;
    }
    if (device->name.size() + 1 > length) {
        return kInvalidArgument;
    }
    std::memcpy(name, device->name.c_str(), device->name.size() + 1);
    return kNvmlSuccess;
}
}
