#include "platform/linux/storage/BlockDeviceTraitsReader.h"

#include "linux_io/SysfsText.h"

#include <system_error>

namespace {

// USB host controllers appear in the device path as "usb1", "usb2", ...
bool isBelowUsbHost(const std::filesystem::path& devicePath) {
    for (const auto& component : devicePath) {
        const std::string name = component.string();
        if (name.size() > 3 && name.starts_with("usb") && name[3] >= '0' && name[3] <= '9') {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<BlockDeviceTraits> readBlockDeviceTraits(const std::filesystem::path& root,
                                                       unsigned major, unsigned minor) {
    const std::filesystem::path link =
        root / "sys/dev/block" / (std::to_string(major) + ':' + std::to_string(minor));
    std::error_code error;
    const std::filesystem::path device = std::filesystem::canonical(link, error);
    if (error) {
        return std::nullopt;
    }
    std::filesystem::path disk = device;
    if (std::filesystem::exists(device / "partition", error)) {
        disk = device.parent_path();
    }
    const auto removable = readIntegerFile(disk / "removable");
    return BlockDeviceTraits{device.filename().string(), removable && *removable == 1,
                             isBelowUsbHost(device.lexically_relative(root))};
}
