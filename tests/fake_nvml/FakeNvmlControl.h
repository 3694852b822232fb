#pragma once

// The test-only controls of the fake NVIDIA management library, looked up with dlsym.
extern "C" {
using FakeNvmlResetFunction = void (*)();
using FakeNvmlSetInitResultFunction = void (*)(int result);
using FakeNvmlSetNameResultFunction = void (*)(int result);
using FakeNvmlAddDeviceFunction = void (*)(const char* busId, const char* name,
                                           unsigned int gpuPercent, unsigned long long usedBytes,
                                           unsigned long long totalBytes);
using FakeNvmlCounterFunction = int (*)();
}
