#include "helper/linux/MachineFieldSources.h"

#include "helper/applesmc/AppleSmcClient.h"
#include "helper/applesmc/AppleSmcFieldSources.h"
#include "helper/linux/LinuxFieldSources.h"

#include <cstdio>

std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system) {
    const auto appleSmc = system.root / kAppleSmcDevice;
    std::error_code error;
    if (std::filesystem::exists(appleSmc / "key_count", error)) {
        return openAppleSmcFieldSources(appleSmc);
    }
    FieldSources sources = findLinuxFieldSources(system);
    if (sources.empty()) {
        std::printf("[OrvikHelper] no sensor found on this machine\n");
        std::fflush(stdout);
        return std::nullopt;
    }
    return sources;
}
