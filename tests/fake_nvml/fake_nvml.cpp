// A stand-in for the NVIDIA management library, built only for tests and loaded by path. It
// answers from the device list the test sets in its state (FakeNvml.h), refuses every device
// call while not initialised, and counts what it was asked. It serves both the application's
// GPU reader (devices by PCI address) and the helper's Linux field sources (the first device by
// index).

#include "fake_nvml/FakeNvml.h"
#include "hardware/NvmlApi.h"

#include <cstring>

#define EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

constexpr NvmlReturn kUninitialized = 1;
constexpr NvmlReturn kInvalidArgument = 2;
constexpr NvmlReturn kNotFound = 6;

FakeNvmlState& state() {
    static FakeNvmlState instance;
    return instance;
}

NvmlReturn deviceCall(NvmlDevice handle, FakeNvmlDevice*& device) {
    ++state().deviceCalls;
    if (!state().initialized) {
        return kUninitialized;
    }
    for (auto& candidate : state().devices) {
        if (reinterpret_cast<NvmlDevice>(&candidate) == handle) {
            device = &candidate;
            return kNvmlSuccess;
        }
    }
    return kInvalidArgument;
}

}  // namespace

EXPORTED FakeNvmlState* fake_nvml_state() {
    return &state();
}

EXPORTED NvmlReturn nvmlInit_v2() {
    ++state().initCalls;
    state().initialized = state().initResult == kNvmlSuccess;
    return state().initResult;
}

EXPORTED NvmlReturn nvmlShutdown() {
    ++state().shutdownCalls;
    if (!state().initialized) {
        return kUninitialized;
    }
    state().initialized = false;
    return kNvmlSuccess;
}

EXPORTED NvmlReturn nvmlDeviceGetCount_v2(unsigned int* count) {
    ++state().deviceCalls;
    *count = static_cast<unsigned int>(state().devices.size());
    return state().initialized ? kNvmlSuccess : kUninitialized;
}

EXPORTED NvmlReturn nvmlDeviceGetHandleByIndex_v2(unsigned int index, NvmlDevice* device) {
    ++state().deviceCalls;
    if (!state().initialized) {
        return kUninitialized;
    }
    if (index >= state().devices.size()) {
        return kInvalidArgument;
    }
    *device = reinterpret_cast<NvmlDevice>(&state().devices[index]);
    return kNvmlSuccess;
}

EXPORTED NvmlReturn nvmlDeviceGetHandleByPciBusId_v2(const char* pciBusId, NvmlDevice* device) {
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

EXPORTED NvmlReturn nvmlDeviceGetUtilizationRates(NvmlDevice handle, NvmlUtilization* utilization) {
    FakeNvmlDevice* device = nullptr;
    const NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess) {
        *utilization = {device->gpuPercent, 0};
    }
    return result;
}

EXPORTED NvmlReturn nvmlDeviceGetMemoryInfo(NvmlDevice handle, NvmlMemory* memory) {
    FakeNvmlDevice* device = nullptr;
    const NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess) {
        *memory = {device->totalBytes, device->totalBytes - device->usedBytes, device->usedBytes};
    }
    return result;
}

EXPORTED NvmlReturn nvmlDeviceGetName(NvmlDevice handle, char* name, unsigned int length) {
    FakeNvmlDevice* device = nullptr;
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

// The sensor is the GPU's own (0), the only one the helper asks for.
EXPORTED NvmlReturn nvmlDeviceGetTemperature(NvmlDevice handle, int sensor, unsigned int* celsius) {
    FakeNvmlDevice* device = nullptr;
    NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess && sensor != 0) {
        result = kInvalidArgument;
    }
    if (result == kNvmlSuccess && state().sensorResult != kNvmlSuccess) {
        result = state().sensorResult;
    }
    if (result == kNvmlSuccess) {
        *celsius = device->celsius;
    }
    return result;
}

EXPORTED NvmlReturn nvmlDeviceGetPowerUsage(NvmlDevice handle, unsigned int* milliwatts) {
    FakeNvmlDevice* device = nullptr;
    NvmlReturn result = deviceCall(handle, device);
    if (result == kNvmlSuccess && state().sensorResult != kNvmlSuccess) {
        result = state().sensorResult;
    }
    if (result == kNvmlSuccess) {
        *milliwatts = device->milliwatts;
    }
    return result;
}
