#include "helper/linux/LinuxFieldTable.h"

#include <array>

namespace {

using K = LinuxSourceKind;

constexpr std::array kCpuTemperature{
    LinuxSource{K::hwmonTemperature, "coretemp", "Package id 0"},
    LinuxSource{K::hwmonTemperature, "k10temp", "Tdie"},
    LinuxSource{K::hwmonTemperature, "k10temp", "Tctl"},
    LinuxSource{K::hwmonTemperature, "zenpower", "Tdie"},
    LinuxSource{K::hwmonTemperature, "zenpower", "Tctl"},
    LinuxSource{K::hwmonTemperature, "x86_pkg_temp", "", "temp1_input"},
    // ARM boards: the processor's thermal zone, named either way by the device trees.
    LinuxSource{K::thermalZoneTemperature, "cpu-thermal"},
    LinuxSource{K::thermalZoneTemperature, "cpu_thermal"},
};

constexpr std::array kGpuTemperature{
    LinuxSource{K::nvmlTemperature},
    LinuxSource{K::hwmonTemperature, "amdgpu", "edge"},
    LinuxSource{K::hwmonTemperature, "amdgpu", "junction"},
    LinuxSource{K::hwmonTemperature, "nouveau", "", "temp1_input"},
};

constexpr std::array kBatteryTemperature{
    LinuxSource{K::batteryTemperature},
};

constexpr std::array kSsdTemperature{
    LinuxSource{K::hwmonTemperature, "nvme", "Composite"},
    LinuxSource{K::hwmonTemperature, "drivetemp", "", "temp1_input"},
};

constexpr std::array kMemoryTemperature{
    LinuxSource{K::hwmonTemperature, "jc42", "", "temp1_input"},
    LinuxSource{K::hwmonTemperature, "spd5118", "", "temp1_input"},
};

constexpr std::array kAmbientTemperature{
    LinuxSource{K::hwmonTemperature, "nct6*", "SYSTIN"},
    LinuxSource{K::hwmonTemperature, "acpitz", "", "temp1_input"},
};

constexpr std::array kIoTemperature{
    LinuxSource{K::hwmonTemperature, "nct6*", "PCH_CHIP_TEMP"},
    LinuxSource{K::hwmonTemperature, "pch_*", "", "temp1_input"},
};

// Without a package domain the system's power stands in, as a Mac without its CPU power key
// shows its system power.
constexpr std::array kCpuPower{
    LinuxSource{K::raplPower, "package-0"},
    LinuxSource{K::raplPower, "psys"},
    LinuxSource{K::batteryPower},
};

constexpr std::array kGpuPower{
    LinuxSource{K::nvmlPower},
    LinuxSource{K::hwmonPower, "amdgpu", "", "power1_average"},
    LinuxSource{K::hwmonPower, "amdgpu", "", "power1_input"},
    LinuxSource{K::hwmonPower, "nouveau", "", "power1_input"},
    LinuxSource{K::hwmonEnergy, "i915", "", "energy1_input"},
};

constexpr std::array kSystemPower{
    LinuxSource{K::raplPower, "psys"},
    LinuxSource{K::batteryPower},
};

constexpr std::array kFan0{LinuxSource{K::fanSpeed, "", "", "", 0}};
constexpr std::array kFan1{LinuxSource{K::fanSpeed, "", "", "", 1}};

// No driver reports what an adapter delivers in a way the helper can trust: charger power
// has no Linux source.
constexpr std::array kTable{
    LinuxFieldEntry{SensorField::cpuTemperature, kCpuTemperature},
    LinuxFieldEntry{SensorField::gpuTemperature, kGpuTemperature},
    LinuxFieldEntry{SensorField::batteryTemperature, kBatteryTemperature},
    LinuxFieldEntry{SensorField::ssdTemperature, kSsdTemperature},
    LinuxFieldEntry{SensorField::memoryTemperature, kMemoryTemperature},
    LinuxFieldEntry{SensorField::ambientTemperature, kAmbientTemperature},
    LinuxFieldEntry{SensorField::ioTemperature, kIoTemperature},
    LinuxFieldEntry{SensorField::cpuPower, kCpuPower},
    LinuxFieldEntry{SensorField::gpuPower, kGpuPower},
    LinuxFieldEntry{SensorField::systemPower, kSystemPower},
    LinuxFieldEntry{SensorField::fan0, kFan0},
    LinuxFieldEntry{SensorField::fan1, kFan1},
};

constexpr std::array<std::string_view, 5> kFanChips{"thinkpad", "dell_smm", "nct6*", "it8*",
                                                    "pwmfan"};

}  // namespace

std::span<const LinuxFieldEntry> linuxFieldTable() {
    return kTable;
}

std::span<const std::string_view> fanChips() {
    return kFanChips;
}
