#include "helper/linux/VirtualSmcClient.h"

#include "helper/SmcParameterBlock.h"
#include "helper/SmcReader.h"
#include "hardware/BatterySupply.h"
#include "hardware/HwmonInventory.h"
#include "helper/linux/RaplDomains.h"
#include "helper/linux/SysfsFile.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr double kAbsoluteZeroCelsius = -273.15;
constexpr double kHighestTemperatureCelsius = 200.0;
constexpr double kHighestPowerWatts = 5000.0;
constexpr double kHighestFanRpm = 50000.0;
constexpr std::uint32_t kFloatDataSize = 4;

std::optional<double> readScaled(const HwmonAttribute& attribute, double divisor) {
    if (isSuspended(attribute)) {
        return std::nullopt;
    }
    const auto value = readIntegerFile(attribute.file);
    return value ? std::optional<double>(static_cast<double>(*value) / divisor) : std::nullopt;
}

std::optional<std::uint64_t> readCounter(const std::filesystem::path& file) {
    const auto value = readIntegerFile(file);
    if (!value || *value < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

}  // namespace

bool isPlausibleReading(SensorQuantity quantity, double value) {
    if (!std::isfinite(value)) {
        return false;
    }
    switch (quantity) {
        case SensorQuantity::temperature:
            return value > kAbsoluteZeroCelsius && value <= kHighestTemperatureCelsius;
        case SensorQuantity::power:
            return value >= 0 && value <= kHighestPowerWatts;
        case SensorQuantity::fanSpeed:
            return value >= 0 && value <= kHighestFanRpm;
        case SensorQuantity::count:
            return value >= 0;
    }
    return false;
}

// What was found on the system at creation, shared by the sources of every key.
struct VirtualSmcClient::Discovery {
    HwmonInventory hwmon;
    std::optional<BatterySupply> battery;
    std::vector<HwmonAttribute> fans;
};

VirtualSmcClient::VirtualSmcClient(const LinuxSmcSystem& system) : system_(system) {
    Discovery found{HwmonInventory(system_.root), BatterySupply::find(system_.root), {}};
    found.fans = found.hwmon.fans(fanChips());
    NvidiaPciDevices nvidia(system_.root);
    if (!nvidia.empty()) {
        nvml_ = NvmlLibrary::load(system_.nvmlLibrary);
        nvidiaDevices_ = std::move(nvidia);
    }
    for (const VirtualSmcKey& entry : virtualSmcKeyMap()) {
        Key key{fourCharCode(entry.key), entry.quantity, {}};
        for (const SensorSource& source : entry.sources) {
            if (auto reading = resolve(source, found)) {
                key.readings.push_back(std::move(*reading));
            }
        }
        if (!key.readings.empty()) {
            keys_.push_back(std::move(key));
        }
    }
    // A power figure needs two counter samples: the first is taken now.
    for (const auto& meter : meters_) {
        meter->prime();
    }
}

VirtualSmcClient::~VirtualSmcClient() = default;

std::optional<VirtualSmcClient::Reading> VirtualSmcClient::meterReading(
    std::function<std::optional<std::uint64_t>()> counter, std::uint64_t rangeMicrojoules) {
    meters_.push_back(
        std::make_unique<EnergyPowerMeter>(std::move(counter), rangeMicrojoules, system_.clock));
    return [meter = meters_.back().get()] { return meter->watts(); };
}

std::optional<VirtualSmcClient::Reading> VirtualSmcClient::resolve(const SensorSource& source,
                                                                   const Discovery& found) {
    using K = SensorSourceKind;
    switch (source.kind) {
        case K::hwmonTemperature:
        case K::hwmonPower: {
            const auto attribute = source.label.empty()
                                       ? found.hwmon.attribute(source.chip, source.attribute)
                                       : found.hwmon.labelled(source.chip, "temp", source.label);
            if (!attribute) {
                return std::nullopt;
            }
            const double divisor = source.kind == K::hwmonPower ? 1e6 : 1000.0;
            return [attribute = *attribute, divisor] { return readScaled(attribute, divisor); };
        }
        case K::hwmonEnergy: {
            const auto attribute = found.hwmon.attribute(source.chip, source.attribute);
            if (!attribute) {
                return std::nullopt;
            }
            return meterReading(
                [attribute = *attribute]() -> std::optional<std::uint64_t> {
                    return isSuspended(attribute) ? std::nullopt : readCounter(attribute.file);
                },
                0);
        }
        case K::raplPower: {
            const auto domain = findRaplDomain(system_.root, source.chip);
            if (!domain) {
                return std::nullopt;
            }
            return meterReading([file = domain->energyFile] { return readCounter(file); },
                                domain->rangeMicrojoules);
        }
        case K::nvmlTemperature:
        case K::nvmlPower: {
            if (!nvml_) {
                return std::nullopt;
            }
            const bool temperature = source.kind == K::nvmlTemperature;
            return [this, temperature]() -> std::optional<double> {
                if (!nvidiaDevices_->anyAwake()) {
                    return std::nullopt;
                }
                return temperature ? nvml_->gpuTemperatureCelsius() : nvml_->gpuPowerWatts();
            };
        }
        case K::batteryTemperature:
            if (!found.battery || !found.battery->hasTemperature()) {
                return std::nullopt;
            }
            return [battery = *found.battery] { return battery.temperatureCelsius(); };
        case K::batteryPower:
            if (!found.battery || !found.battery->hasPower()) {
                return std::nullopt;
            }
            return [battery = *found.battery] { return battery.dischargeWatts(); };
        case K::fanSpeed: {
            if (source.fan < 0 || static_cast<std::size_t>(source.fan) >= found.fans.size()) {
                return std::nullopt;
            }
            return [fan = found.fans[static_cast<std::size_t>(source.fan)]] {
                return readScaled(fan, 1.0);
            };
        }
        case K::fanCount:
            if (found.fans.empty()) {
                return std::nullopt;
            }
            return [count = static_cast<double>(found.fans.size())] {
                return std::optional<double>(count);
            };
    }
    return std::nullopt;
}

std::optional<double> VirtualSmcClient::readKey(const Key& key) const {
    for (const Reading& reading : key.readings) {
        const auto value = reading();
        if (value && isPlausibleReading(key.quantity, *value)) {
            return value;
        }
    }
    return std::nullopt;
}

int VirtualSmcClient::callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                                       SmcBlockBytes& output) {
    if (selector != kSmcStructMethodSelector) {
        return kSmcUnknownSelector;
    }
    const SmcParameterBlock request = fromBlockBytes(input);
    std::lock_guard lock(mutex_);
    const auto key = std::find_if(keys_.begin(), keys_.end(), [&](const Key& candidate) {
        return candidate.code == request.key;
    });
    if (key == keys_.end()) {
        return kSmcKeyNotFound;
    }
    SmcParameterBlock answer;
    answer.key = request.key;
    answer.dataSize = kFloatDataSize;
    switch (request.command) {
        case kSmcReadKeyInfo:
            answer.dataType = fourCharCode("flt ");
            break;
        case kSmcReadBytes: {
            const auto value = readKey(*key);
            if (!value) {
                return kSmcReadFailed;
            }
            const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(*value));
            for (std::size_t i = 0; i < kFloatDataSize; ++i) {
                answer.bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
            }
            break;
        }
        default:
            return kSmcUnknownCommand;
    }
    output = toBlockBytes(answer);
    return kSmcCallSucceeded;
}
