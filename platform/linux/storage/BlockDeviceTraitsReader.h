#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What sysfs says about the block device behind a mount (/sys/dev/block/MAJOR:MINOR).
struct BlockDeviceTraits {
    std::string kernelName;       // "sdb1", "nvme0n1p2", "dm-0"
    bool removableMedia = false;  // the whole disk's `removable` flag
    bool onUsbBus = false;        // the device hangs below a USB host controller
    bool operator==(const BlockDeviceTraits&) const = default;
};

// Absent when sysfs has no such device (file systems on anonymous devices, as btrfs
// subvolumes, or a device that went away). A partition answers with its whole disk's flags.
std::optional<BlockDeviceTraits> readBlockDeviceTraits(const std::filesystem::path& root,
                                                       unsigned major, unsigned minor);
