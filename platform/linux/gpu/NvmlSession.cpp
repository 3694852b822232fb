#include "platform/linux/gpu/NvmlSession.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace {

// No machine has more; the bound keeps a confused library from sending us round for long.
constexpr unsigned int kMaxDevices = 64;

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
        lookUp(library, NvmlSymbol::deviceGetCount, nvml.deviceGetCount) &&
        lookUp(library, NvmlSymbol::deviceGetHandleByIndex, nvml.deviceGetHandleByIndex) &&
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

std::vector<AcceleratorReading> NvmlSession::readDevices() {
    std::vector<AcceleratorReading> readings;
    unsigned int count = 0;
    if (nvml_.deviceGetCount(&count) != kNvmlSuccess) {
        return readings;
    }
    count = std::min(count, kMaxDevices);
    for (unsigned int index = 0; index < count; ++index) {
        NvmlDevice device = nullptr;
        if (nvml_.deviceGetHandleByIndex(index, &device) != kNvmlSuccess) {
            continue;
        }
        AcceleratorReading reading;
        reading.name = deviceName(index, device).value_or(QStringLiteral("nvidia"));
        NvmlUtilization utilization{};
        if (nvml_.deviceGetUtilizationRates(device, &utilization) == kNvmlSuccess) {
            reading.busyFraction = std::min(utilization.gpu, 100u) / 100.0;
        }
        NvmlMemory memory{};
        if (nvml_.deviceGetMemoryInfo(device, &memory) == kNvmlSuccess) {
            reading.vramUsedBytes = memory.used;
            reading.vramTotalBytes = memory.total;
        }
        readings.push_back(std::move(reading));
    }
    return readings;
}

std::optional<QString> NvmlSession::deviceName(unsigned int index, NvmlDevice device) {
    if (index < names_.size() && names_[index]) {
        return names_[index];
    }
    char buffer[kNvmlDeviceNameBufferSize] = {};
    std::optional<QString> name;
    if (nvml_.deviceGetName(device, buffer, sizeof buffer) == kNvmlSuccess) {
        const auto length = static_cast<qsizetype>(strnlen(buffer, sizeof buffer));
        if (length > 0) {
            name = QString::fromUtf8(buffer, length);
        }
    }
    if (index >= names_.size()) {
        names_.resize(index + 1);
    }
    names_[index] = name;
    return name;
}
