#pragma once

// The few entry points of the NVIDIA management library that the GPU reader calls, declared
// from the library's published C interface. The library is never linked: it is loaded at run
// time, and only these symbols are looked up.

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

using NvmlInitFunction = NvmlReturn (*)();
using NvmlShutdownFunction = NvmlReturn (*)();
// The bus id as "domain:bus:device.function" in hexadecimal, as sysfs names the device.
using NvmlDeviceGetHandleByPciBusIdFunction = NvmlReturn (*)(const char* pciBusId,
                                                             NvmlDevice* device);
using NvmlDeviceGetUtilizationRatesFunction = NvmlReturn (*)(NvmlDevice device,
                                                             NvmlUtilization* utilization);
using NvmlDeviceGetMemoryInfoFunction = NvmlReturn (*)(NvmlDevice device, NvmlMemory* memory);
using NvmlDeviceGetNameFunction = NvmlReturn (*)(NvmlDevice device, char* name,
                                                 unsigned int length);
}

// The exported names of those entry points.
namespace NvmlSymbol {
inline constexpr const char* init = "nvmlInit_v2";
inline constexpr const char* shutdown = "nvmlShutdown";
inline constexpr const char* deviceGetHandleByPciBusId = "nvmlDeviceGetHandleByPciBusId_v2";
inline constexpr const char* deviceGetUtilizationRates = "nvmlDeviceGetUtilizationRates";
inline constexpr const char* deviceGetMemoryInfo = "nvmlDeviceGetMemoryInfo";
inline constexpr const char* deviceGetName = "nvmlDeviceGetName";
}  // namespace NvmlSymbol
