#pragma once

#include "platform/linux/pci/PciIdDatabase.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <string>

// Who a PCI device under /sys is, from the kernel's copy of its configuration: reading these
// never wakes a suspended device.

// The target's last component of a symbolic link, empty when it is no link.
std::string linkBasename(const std::filesystem::path& link);

// The name of the driver bound to a device directory (the basename of its driver link),
// empty when none.
std::string boundDriverName(const std::filesystem::path& deviceDirectory);

// The device's model name from `names` by its vendor and device files, else its driver's name;
// absent when neither is known.
std::optional<QString> pciDeviceName(const std::filesystem::path& deviceDirectory,
                                     PciIdDatabase& names);

// Whether the PCI device is the one the firmware set up to drive the display (`boot_vga` 1).
bool drivesDisplay(const std::filesystem::path& deviceDirectory);
