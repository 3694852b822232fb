#include "helper/linux/LinuxFieldSources.h"

#include "hardware/BatterySupply.h"
#include "hardware/HwmonInventory.h"
#include "hardware/NvidiaPciDevices.h"
#include "hardware/NvmlLibrary.h"
#include "hardware/ThermalZones.h"
#include "helper/linux/EnergyPowerMeter.h"
#include "helper/linux/LinuxFieldTable.h"
#include "helper/linux/RaplDomains.h"
#include "linux_io/SysfsText.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

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

// NVIDIA's library with the devices whose sleep it must respect; shared by its sources.
struct Nvidia {
    std::unique_ptr<NvmlLibrary> library;
    NvidiaPciDevices devices;
};

// What was found on the system, once, and the meters made so far (one per counter, shared
// by every field that reads it).
class Resolver {
public:
    Resolver(const LinuxSensorSystem& system, const HwmonInventory& hwmon,
             const ThermalZones& zones)
        : system_(system),
          hwmon_(hwmon),
          zones_(zones),
          battery_(BatterySupply::find(system.root)),
          fans_(hwmon_.fans(fanChips())) {
        NvidiaPciDevices devices(system.root);
        if (!devices.empty()) {
            if (auto library = NvmlLibrary::load(system.nvmlLibrary)) {
                nvidia_ = std::make_shared<Nvidia>(Nvidia{std::move(library), std::move(devices)});
            }
        }
    }

    std::optional<FieldSource> resolve(const LinuxSource& source);
    std::size_t fanCount() const { return fans_.size(); }
    void primeMeters() {
        for (const auto& [name, meter] : meters_) {
            meter->prime();
        }
    }

private:
    FieldSource meterSource(const std::string& name,
                            std::function<std::optional<std::uint64_t>()> counter,
                            std::uint64_t rangeMicrojoules) {
        auto& meter = meters_[name];
        if (!meter) {
            meter = std::make_shared<EnergyPowerMeter>(std::move(counter), rangeMicrojoules,
                                                       system_.clock);
        }
        return [meter] { return meter->watts(); };
    }

    // The `temp` file of the first zone, by number, of type `type`.
    std::optional<std::filesystem::path> thermalZoneTemperature(std::string_view type) const {
        for (const ThermalZone& zone : zones_.zones()) {
            if (zone.type == type) {
                return zone.temperature;
            }
        }
        return std::nullopt;
    }

    const LinuxSensorSystem& system_;
    const HwmonInventory& hwmon_;
    const ThermalZones& zones_;
    std::optional<BatterySupply> battery_;
    std::vector<HwmonAttribute> fans_;
    std::shared_ptr<Nvidia> nvidia_;
    std::map<std::string, std::shared_ptr<EnergyPowerMeter>> meters_;
};

std::optional<FieldSource> Resolver::resolve(const LinuxSource& source) {
    using K = LinuxSourceKind;
    switch (source.kind) {
        case K::hwmonTemperature:
        case K::hwmonPower: {
            const auto attribute = source.label.empty()
                                       ? hwmon_.attribute(source.chip, source.attribute)
                                       : hwmon_.labelled(source.chip, "temp", source.label);
            if (!attribute) {
                return std::nullopt;
            }
            const double divisor = source.kind == K::hwmonPower ? 1e6 : 1000.0;
            return [attribute = *attribute, divisor] { return readScaled(attribute, divisor); };
        }
        case K::hwmonEnergy: {
            const auto attribute = hwmon_.attribute(source.chip, source.attribute);
            if (!attribute) {
                return std::nullopt;
            }
            return meterSource(
                attribute->file.string(),
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
            return meterSource(
                domain->energyFile.string(),
                [file = domain->energyFile] { return readCounter(file); },
                domain->rangeMicrojoules);
        }
        case K::thermalZoneTemperature: {
            const auto file = thermalZoneTemperature(source.chip);
            if (!file) {
                return std::nullopt;
            }
            return [file = *file]() -> std::optional<double> {
                const auto value = readIntegerFile(file);
                return value ? std::optional<double>(static_cast<double>(*value) / 1000.0)
                             : std::nullopt;
            };
        }
        case K::nvmlTemperature:
        case K::nvmlPower: {
            if (!nvidia_) {
                return std::nullopt;
            }
            const bool temperature = source.kind == K::nvmlTemperature;
            return [nvidia = nvidia_, temperature]() -> std::optional<double> {
                if (!nvidia->devices.anyAwake()) {
                    return std::nullopt;
                }
                return temperature ? nvidia->library->gpuTemperatureCelsius()
                                   : nvidia->library->gpuPowerWatts();
            };
        }
        case K::batteryTemperature:
            if (!battery_ || !battery_->hasTemperature()) {
                return std::nullopt;
            }
            return [battery = *battery_] { return battery.temperatureCelsius(); };
        case K::batteryPower:
            if (!battery_ || !battery_->hasPower()) {
                return std::nullopt;
            }
            return [battery = *battery_] { return battery.dischargeWatts(); };
        case K::fanSpeed: {
            if (source.fan < 0 || static_cast<std::size_t>(source.fan) >= fans_.size()) {
                return std::nullopt;
            }
            return [fan = fans_[static_cast<std::size_t>(source.fan)]] {
                return readScaled(fan, 1.0);
            };
        }
    }
    return std::nullopt;
}

}  // namespace

FieldSources findLinuxFieldSources(const LinuxSensorSystem& system) {
    return findLinuxFieldSources(system, HwmonInventory(system.root), ThermalZones(system.root));
}

FieldSources findLinuxFieldSources(const LinuxSensorSystem& system, const HwmonInventory& hwmon,
                                   const ThermalZones& zones) {
    Resolver resolver(system, hwmon, zones);
    FieldSources sources;
    for (const LinuxFieldEntry& entry : linuxFieldTable()) {
        for (const LinuxSource& source : entry.sources) {
            if (auto found = resolver.resolve(source)) {
                sources.of(entry.field).push_back(std::move(*found));
            }
        }
    }
    if (resolver.fanCount() > 0) {
        sources.fanCount = [count = static_cast<double>(resolver.fanCount())] {
            return std::optional<double>(count);
        };
    }
    // A power figure needs two counter samples: the first is taken now.
    resolver.primeMeters();
    return sources;
}
