#include "helper/linux/VirtualSmcKeyMap.h"

#include "helper/SensorCollector.h"

#include <array>

namespace {

using K = SensorSourceKind;

// Each field's sources answer the first key of that field's list in the sensor collector, so
// a collection finds the value at the first key it tries.

constexpr std::array kCpuTemperature{
    SensorSource{K::hwmonTemperature, "coretemp", "Package id 0"},
    SensorSource{K::hwmonTemperature, "k10temp", "Tdie"},
    SensorSource{K::hwmonTemperature, "k10temp", "Tctl"},
    SensorSource{K::hwmonTemperature, "zenpower", "Tdie"},
    SensorSource{K::hwmonTemperature, "zenpower", "Tctl"},
    SensorSource{K::hwmonTemperature, "x86_pkg_temp", "", "temp1_input"},
};

constexpr std::array kGpuTemperature{
    SensorSource{K::nvmlTemperature},
    SensorSource{K::hwmonTemperature, "amdgpu", "edge"},
    SensorSource{K::hwmonTemperature, "amdgpu", "junction"},
    SensorSource{K::hwmonTemperature, "nouveau", "", "temp1_input"},
};

constexpr std::array kBatteryTemperature{
    SensorSource{K::batteryTemperature},
};

constexpr std::array kSsdTemperature{
    SensorSource{K::hwmonTemperature, "nvme", "Composite"},
    SensorSource{K::hwmonTemperature, "drivetemp", "", "temp1_input"},
};

constexpr std::array kMemoryTemperature{
    SensorSource{K::hwmonTemperature, "jc42", "", "temp1_input"},
    SensorSource{K::hwmonTemperature, "spd5118", "", "temp1_input"},
};

constexpr std::array kAmbientTemperature{
    SensorSource{K::hwmonTemperature, "nct6*", "SYSTIN"},
    SensorSource{K::hwmonTemperature, "acpitz", "", "temp1_input"},
};

constexpr std::array kIoTemperature{
    SensorSource{K::hwmonTemperature, "nct6*", "PCH_CHIP_TEMP"},
    SensorSource{K::hwmonTemperature, "pch_*", "", "temp1_input"},
};

constexpr std::array kCpuPower{
    SensorSource{K::raplPower, "package-0"},
};

constexpr std::array kGpuPower{
    SensorSource{K::nvmlPower},
    SensorSource{K::hwmonPower, "amdgpu", "", "power1_average"},
    SensorSource{K::hwmonPower, "amdgpu", "", "power1_input"},
    SensorSource{K::hwmonPower, "nouveau", "", "power1_input"},
    SensorSource{K::hwmonEnergy, "i915", "", "energy1_input"},
};

constexpr std::array kSystemPower{
    SensorSource{K::raplPower, "psys"},
    SensorSource{K::batteryPower},
};

constexpr std::array kFan0{SensorSource{K::fanSpeed, "", "", "", 0}};
constexpr std::array kFan1{SensorSource{K::fanSpeed, "", "", "", 1}};
constexpr std::array kFanCount{SensorSource{K::fanCount}};

constexpr std::array kKeyMap{
    VirtualSmcKey{SensorCollector::kCpuTemperatureKeys[0], SensorQuantity::temperature,
                  kCpuTemperature},
    VirtualSmcKey{SensorCollector::kGpuTemperatureKeys[0], SensorQuantity::temperature,
                  kGpuTemperature},
    VirtualSmcKey{SensorCollector::kBatteryTemperatureKeys[0], SensorQuantity::temperature,
                  kBatteryTemperature},
    VirtualSmcKey{SensorCollector::kSsdTemperatureKeys[0], SensorQuantity::temperature,
                  kSsdTemperature},
    VirtualSmcKey{SensorCollector::kMemoryTemperatureKeys[0], SensorQuantity::temperature,
                  kMemoryTemperature},
    VirtualSmcKey{SensorCollector::kAmbientTemperatureKeys[0], SensorQuantity::temperature,
                  kAmbientTemperature},
    VirtualSmcKey{SensorCollector::kIoTemperatureKeys[0], SensorQuantity::temperature,
                  kIoTemperature},
    VirtualSmcKey{SensorCollector::kCpuPowerKeys[0], SensorQuantity::power, kCpuPower},
    VirtualSmcKey{SensorCollector::kGpuPowerKeys[0], SensorQuantity::power, kGpuPower},
    VirtualSmcKey{SensorCollector::kSystemPowerKeys[0], SensorQuantity::power, kSystemPower},
    VirtualSmcKey{SensorCollector::kFan0Keys[0], SensorQuantity::fanSpeed, kFan0},
    VirtualSmcKey{SensorCollector::kFan1Keys[0], SensorQuantity::fanSpeed, kFan1},
    VirtualSmcKey{SensorCollector::kFanCountKey, SensorQuantity::count, kFanCount},
};

constexpr std::array<std::string_view, 4> kFanChips{"thinkpad", "dell_smm", "nct6*", "it8*"};

}  // namespace

std::span<const VirtualSmcKey> virtualSmcKeyMap() {
    return kKeyMap;
}

std::span<const std::string_view> fanChips() {
    return kFanChips;
}
