#pragma once

#include <dlfcn.h>

#include <string>
#include <vector>

// The state of the stand-in NVIDIA management library (fake_nvml.cpp), which the library and
// the test that loads it share: the test reaches it through the exported fake_nvml_state().
struct FakeNvmlDevice {
    std::string busId = {};
    std::string name = {};
    unsigned int gpuPercent = 0;
    unsigned long long usedBytes = 0;
    unsigned long long totalBytes = 0;
    unsigned int celsius = 0;
    unsigned int milliwatts = 0;
};

struct FakeNvmlState {
    std::vector<FakeNvmlDevice> devices;
    int initResult = 0;    // what nvmlInit_v2 answers
    int nameResult = 0;    // what nvmlDeviceGetName answers for a known device
    int sensorResult = 0;  // what the temperature and power queries answer for a known device
    int initCalls = 0;
    int shutdownCalls = 0;
    int deviceCalls = 0;
    bool initialized = false;
};

// Keeps the library loaded while the test runs, with its state reset: code under test that
// opens the same path gets the same state.
class FakeNvml {
public:
    explicit FakeNvml(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW)) {
        using StateFunction = FakeNvmlState* (*)();
        const auto get =
            handle_ ? reinterpret_cast<StateFunction>(dlsym(handle_, "fake_nvml_state")) : nullptr;
        state = get ? get() : nullptr;
        if (state) {
            *state = {};
        }
    }
    ~FakeNvml() {
        if (handle_) {
            dlclose(handle_);
        }
    }
    FakeNvml(const FakeNvml&) = delete;
    FakeNvml& operator=(const FakeNvml&) = delete;
    FakeNvmlState* operator->() const { return state; }

    FakeNvmlState* state = nullptr;

private:
    void* handle_;
};
