// A stand-in for NVIDIA's management library with one GPU, for the virtual SMC's tests. It
// exports the entry points the helper looks up, and two controls the tests call through
// dlsym to change what the GPU reports.

namespace {

int temperatureCelsius = 57;
unsigned int powerMilliwatts = 48250;
int failure = 0;  // returned by every device query when not 0
int initialized = 0;
int dummyDevice = 0;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int nvmlInit_v2() {
    ++initialized;
    return 0;
}

__attribute__((visibility("default"))) int nvmlShutdown() {
    --initialized;
    return 0;
}

__attribute__((visibility("default"))) int nvmlDeviceGetCount_v2(unsigned int* count) {
    *count = 1;
    return 0;
}

__attribute__((visibility("default"))) int nvmlDeviceGetHandleByIndex_v2(unsigned int index,
                                                                         void** device) {
    if (index != 0) {
        return 2;
    }
    *device = &dummyDevice;
    return 0;
}

__attribute__((visibility("default"))) int nvmlDeviceGetTemperature(void* device, int sensor,
                                                                    unsigned int* celsius) {
    if (failure != 0) {
        return failure;
    }
    if (device != &dummyDevice || sensor != 0 || initialized <= 0) {
        return 2;
    }
    *celsius = static_cast<unsigned int>(temperatureCelsius);
    return 0;
}

__attribute__((visibility("default"))) int nvmlDeviceGetPowerUsage(void* device,
                                                                   unsigned int* milliwatts) {
    if (failure != 0) {
        return failure;
    }
    if (device != &dummyDevice || initialized <= 0) {
        return 2;
    }
    *milliwatts = powerMilliwatts;
    return 0;
}

__attribute__((visibility("default"))) void fakeNvmlSet(int celsius, unsigned int milliwatts,
                                                        int failWith) {
    temperatureCelsius = celsius;
    powerMilliwatts = milliwatts;
    failure = failWith;
}

__attribute__((visibility("default"))) int fakeNvmlInitialized() {
    return initialized;
}
}
