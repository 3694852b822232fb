#include "platform/linux/gpu/nvidia/NvmlSession.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace {

template <typename Function>
bool lookUp(void* library, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, symbol));
    return function != nullptr;
}

}  // namespace

std::unique_ptr<NvmlSession> NvmlSession::open(const std::string& libraryPath) {
    void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return nullptr;
    }
    EntryPoints nvml;
    const bool complete =
        lookUp(library, NvmlSymbol::init, nvml.init) &&
        lookUp(library, NvmlSymbol::shutdown, nvml.shutdown) &&
        lookUp(library, NvmlSymbol::deviceGetHandleByPciBusId, nvml.deviceGetHandleByPciBusId) &&
        lookUp(library, NvmlSymbol::deviceGetUtilizationRates, nvml.deviceGetUtilizationRates) &&
        lookUp(library, NvmlSymbol::deviceGetMemoryInfo, nvml.deviceGetMemoryInfo) &&
        lookUp(library, NvmlSymbol::deviceGetName, nvml.deviceGetName);
    if (!complete || nvml.init() != kNvmlSuccess) {
        dlclose(library);
        return nullptr;
    }
    return std::unique_ptr<NvmlSession>(new NvmlSession(library, nvml));
}

NvmlSession::NvmlSession(void* library, EntryPoints entryPoints)
    : library_(library), nvml_(entryPoints) {}

NvmlSession::~NvmlSession() {
    nvml_.shutdown();
    dlclose(library_);
}

std::optional<AcceleratorReading> NvmlSession::readDevice(const std::string& pciAddress) {
    NvmlDevice device = nullptr;
    if (nvml_.deviceGetHandleByPciBusId(pciAddress.c_str(), &device) != kNvmlSuccess) {
        return std::nullopt;
    }
    AcceleratorReading reading;
    reading.name = deviceName(pciAddress, device).value_or(QStringLiteral("nvidia"));
    NvmlUtilization utilization{};
    if (nvml_.deviceGetUtilizationRates(device, &utilization) == kNvmlSuccess) {
        reading.busyFraction = std::min(utilization.gpu, 100u) / 100.0;
    }
    NvmlMemory memory{};
    if (nvml_.deviceGetMemoryInfo(device, &memory) == kNvmlSuccess) {
        reading.vramUsedBytes = memory.used;
        reading.vramTotalBytes = memory.total;
    }
    return reading;
}

std::optional<QString> NvmlSession::deviceName(const std::string& pciAddress, NvmlDevice device) {
    if (const auto known = names_.find(pciAddress); known != names_.end()) {
        return known->second;
    }
    char buffer[kNvmlDeviceNameBufferSize] = {};
    if (nvml_.deviceGetName(device, buffer, sizeof buffer) != kNvmlSuccess) {
        return std::nullopt;
    }
    const auto length = static_cast<qsizetype>(strnlen(buffer, sizeof buffer));
    if (length == 0) {
        return std::nullopt;
    }
    return names_[pciAddress] = QString::fromUtf8(buffer, length);
}
