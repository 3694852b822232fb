#include "helper/linux/MachineFieldSources.h"

#include "helper/applesmc/AppleSmcClient.h"
#include "helper/applesmc/AppleSmcFieldSources.h"
#include "helper/linux/LinuxFieldSources.h"

std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system) {
    return findMachineFieldSources(system, HwmonInventory(system.root), ThermalZones(system.root));
}

std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system,
                                                    const HwmonInventory& hwmon,
                                                    const ThermalZones& zones) {
    const auto appleSmc = system.root / kAppleSmcDevice;
    std::error_code error;
    if (std::filesystem::exists(appleSmc / "key_count", error)) {
        return openAppleSmcFieldSources(appleSmc);
    }
    return findLinuxFieldSources(system, hwmon, zones);
}
