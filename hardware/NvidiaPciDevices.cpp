#include "hardware/NvidiaPciDevices.h"

#include "linux_io/SysfsText.h"

#include <algorithm>

NvidiaPciDevices::NvidiaPciDevices(const std::filesystem::path& root) {
    std::error_code error;
    std::filesystem::directory_iterator it(root / "sys/bus/pci/devices", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const auto device = it->path();
        // Vendor 0x10de; class 0x03xxxx is a display controller (VGA or 3D).
        if (readSysfsWord(device / "vendor") == "0x10de" &&
            readSysfsWord(device / "class").starts_with("0x03")) {
            runtimeStatusFiles_.push_back(device / "power/runtime_status");
        }
    }
    std::sort(runtimeStatusFiles_.begin(), runtimeStatusFiles_.end());
}

bool NvidiaPciDevices::anyAwake() const {
    return std::any_of(
        runtimeStatusFiles_.begin(), runtimeStatusFiles_.end(),
        [](const std::filesystem::path& file) { return readSysfsWord(file) != "suspended"; });
}
