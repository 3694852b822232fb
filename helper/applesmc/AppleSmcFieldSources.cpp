#include "helper/applesmc/AppleSmcFieldSources.h"

#include "helper/applesmc/AppleSmcClient.h"
#include "helper/applesmc/AppleSmcKeys.h"
#include "helper/applesmc/SmcReader.h"

#include <string>
#include <utility>

namespace k = apple_smc_keys;

std::span<const std::string_view> appleSmcKeysOf(SensorField field) {
    switch (field) {
        case SensorField::cpuTemperature:
            return k::kCpuTemperature;
        case SensorField::gpuTemperature:
            return k::kGpuTemperature;
        case SensorField::batteryTemperature:
            return k::kBatteryTemperature;
        case SensorField::ssdTemperature:
            return k::kSsdTemperature;
        case SensorField::memoryTemperature:
            return k::kMemoryTemperature;
        case SensorField::ambientTemperature:
            return k::kAmbientTemperature;
        case SensorField::ioTemperature:
            return k::kIoTemperature;
        case SensorField::cpuPower:
            return k::kCpuPower;
        case SensorField::gpuPower:
            return k::kGpuPower;
        case SensorField::systemPower:
            return k::kSystemPower;
        case SensorField::chargerPower:
            return k::kChargerPower;
        case SensorField::fan0:
            return k::kFan0;
        case SensorField::fan1:
            return k::kFan1;
    }
    return {};
}

namespace {

FieldSource keySource(std::shared_ptr<const SmcReader> reader, std::string_view key) {
    return [reader = std::move(reader), key] { return reader->readKey(key); };
}

class AppleSmcService final : public SmcService {
public:
    explicit AppleSmcService(std::filesystem::path directory) : directory_(std::move(directory)) {}
    int open(std::unique_ptr<SmcUserClient>& client) override {
        std::unique_ptr<AppleSmcClient> opened;
        const int result =
            AppleSmcClient::open(directory_, std::make_unique<PosixSysfsAccess>(), opened);
        if (result == 0) {
            client = std::move(opened);
        }
        return result;
    }

private:
    std::filesystem::path directory_;
};

}  // namespace

FieldSources appleSmcFieldSources(std::shared_ptr<const SmcReader> reader) {
    FieldSources sources;
    for (std::size_t i = 0; i < kSensorFieldCount; ++i) {
        const auto field = static_cast<SensorField>(i);
        for (const std::string_view key : appleSmcKeysOf(field)) {
            sources.of(field).push_back(keySource(reader, key));
        }
    }
    sources.fanCount = keySource(reader, k::kFanCount);
    return sources;
}

std::optional<FieldSources> openAppleSmcFieldSources(const std::filesystem::path& deviceDirectory) {
    auto reader = std::make_shared<SmcReader>(
        [deviceDirectory] { return std::make_unique<AppleSmcService>(deviceDirectory); });
    if (!reader->open()) {
        return std::nullopt;
    }
    return appleSmcFieldSources(std::move(reader));
}
