#include "platform/linux/gpu/nvidia/NvmlSession.h"

#include <algorithm>

std::unique_ptr<NvmlSession> NvmlSession::open(const std::string& libraryPath) {
    auto library = NvmlLibrary::open(libraryPath);
    if (!library) {
        return nullptr;
    }
    return std::unique_ptr<NvmlSession>(new NvmlSession(std::move(library)));
}

std::optional<AcceleratorReading> NvmlSession::readDevice(const std::string& pciAddress) {
    const auto device = nvml_->deviceByPciBusId(pciAddress);
    if (!device) {
        return std::nullopt;
    }
    AcceleratorReading reading;
    reading.name = deviceName(pciAddress, *device).value_or(QStringLiteral("nvidia"));
    if (const auto utilization = nvml_->utilization(*device)) {
        reading.busyFraction = std::min(utilization->gpu, 100u) / 100.0;
    }
    if (const auto memory = nvml_->memory(*device)) {
        reading.vramUsedBytes = memory->used;
        reading.vramTotalBytes = memory->total;
    }
    return reading;
}

std::optional<QString> NvmlSession::deviceName(const std::string& pciAddress, NvmlDevice device) {
    if (const auto known = names_.find(pciAddress); known != names_.end()) {
        return known->second;
    }
    const auto name = nvml_->name(device);
    if (!name) {
        return std::nullopt;
    }
    return names_[pciAddress] = QString::fromStdString(*name);
}
