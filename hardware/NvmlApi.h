#pragma once

// The entry points of NVIDIA's management library that Vantrel calls, declared from the
// library's published C interface. The library is never linked: it is loaded at run time, and
// only these symbols are looked up.

extern "C" {

using NvmlReturn = int;  // 0 is success; anything else is an error code
constexpr NvmlReturn kNvmlSuccess = 0;

struct NvmlDeviceRecord;
using NvmlDevice = NvmlDeviceRecord*;

// Percent of the last sample period during which the GPU, and its memory, were busy.
struct NvmlUtilization {
    unsigned int gpu;
    unsigned int memory;
};

// Bytes of the device's own memory.
struct NvmlMemory {
    unsigned long long total;
    unsigned long long free;
    unsigned long long used;
};

// Names are at most 96 bytes, terminator included.
constexpr unsigned int kNvmlDeviceNameBufferSize = 96;

// The temperature sensor on the GPU die.
constexpr int kNvmlTemperatureGpu = 0;

using NvmlInitFunction = NvmlReturn (*)();
using NvmlShutdownFunction = NvmlReturn (*)();
using NvmlDeviceGetCountFunction = NvmlReturn (*)(unsigned int* count);
using NvmlDeviceGetHandleByIndexFunction = NvmlReturn (*)(unsigned int index, NvmlDevice* device);
// The bus id as "domain:bus:device.function" in hexadecimal, as sysfs names the device.
using NvmlDeviceGetHandleByPciBusIdFunction = NvmlReturn (*)(const char* pciBusId,
                                                             NvmlDevice* device);
using NvmlDeviceGetNameFunction = NvmlReturn (*)(NvmlDevice device, char* name,
                                                 unsigned int length);
using NvmlDeviceGetUtilizationRatesFunction = NvmlReturn (*)(NvmlDevice device,
                                                             NvmlUtilization* utilization);
using NvmlDeviceGetMemoryInfoFunction = NvmlReturn (*)(NvmlDevice device, NvmlMemory* memory);
// Whole degrees Celsius.
using NvmlDeviceGetTemperatureFunction = NvmlReturn (*)(NvmlDevice device, int sensor,
                                                        unsigned int* celsius);
// Milliwatts drawn by the whole board.
using NvmlDeviceGetPowerUsageFunction = NvmlReturn (*)(NvmlDevice device, unsigned int* milliwatts);
}

// The exported names of those entry points.
namespace NvmlSymbol {
inline constexpr const char* init = "nvmlInit_v2";
inline constexpr const char* shutdown = "nvmlShutdown";
inline constexpr const char* deviceGetCount = "nvmlDeviceGetCount_v2";
inline constexpr const char* deviceGetHandleByIndex = "nvmlDeviceGetHandleByIndex_v2";
inline constexpr const char* deviceGetHandleByPciBusId = "nvmlDeviceGetHandleByPciBusId_v2";
inline constexpr const char* deviceGetName = "nvmlDeviceGetName";
inline constexpr const char* deviceGetUtilizationRates = "nvmlDeviceGetUtilizationRates";
inline constexpr const char* deviceGetMemoryInfo = "nvmlDeviceGetMemoryInfo";
inline constexpr const char* deviceGetTemperature = "nvmlDeviceGetTemperature";
inline constexpr const char* deviceGetPowerUsage = "nvmlDeviceGetPowerUsage";
}  // namespace NvmlSymbol
