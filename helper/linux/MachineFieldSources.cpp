#include "helper/linux/MachineFieldSources.h"

#include "helper/applesmc/AppleSmcClient.h"
#include "helper/applesmc/AppleSmcFieldSources.h"
#include "helper/linux/LinuxFieldSources.h"

std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system) {
    const auto appleSmc = system.root / kAppleSmcDevice;
    std::error_code error;
    if (std::filesystem::exists(appleSmc / "key_count", error)) {
        return openAppleSmcFieldSources(appleSmc);
    }
    return findLinuxFieldSources(system);
}
