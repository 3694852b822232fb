#include "platform/linux/pci/RuntimePowerStatus.h"

#include "linux_io/SysfsText.h"

bool isRuntimeSuspended(std::string_view runtimeStatus) {
    const std::string_view status = trimmed(runtimeStatus);
    return status == "suspended" || status == "suspending";
}

std::filesystem::path runtimeStatusFile(const std::filesystem::path& deviceDirectory) {
    return deviceDirectory / "power" / "runtime_status";
}
