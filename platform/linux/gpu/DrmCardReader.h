#pragma once

#include "core/Clock.h"
#include "linux_io/KeptOpenFile.h"
#include "platform/GpuSource.h"
#include "platform/linux/gpu/AmdgpuReader.h"
#include "platform/linux/gpu/Rc6BusyReader.h"
#include "platform/linux/pci/PciDevice.h"
#include "platform/linux/pci/PciIdDatabase.h"

#include <filesystem>
#include <optional>
#include <vector>

// The PCI graphics cards of /sys/class/drm (cardN; never the cardN-DP-1 connectors or the
// render nodes), with busy share and memory for amdgpu and i915 and the name alone for any
// other driver. Cards driven by the NVIDIA driver are left to the NVIDIA management library.
//
// A card the kernel has runtime-suspended is reported idle after reading nothing but its
// power/runtime_status, because reading its statistics would power it up.
class DrmCardReader {
public:
    DrmCardReader(const std::filesystem::path& root, const Clock& clock);

    // Finds the cards and names them, once: the NVIDIA name has no place here, so the model
    // name from `names`, else the driver's name. Identity files (vendor, device, the driver
    // link) come from the kernel's copy of the PCI configuration and never wake a card.
    void discover(PciIdDatabase& names);

    // One reading per card found, by card number.
    std::vector<AcceleratorReading> read();

private:
    struct Card {
        QString name;
        bool drivesDisplay = false;
        KeptOpenFile runtimeStatus;
        std::optional<AmdgpuReader> amdgpu;
        std::optional<Rc6BusyReader> rc6;
    };

    std::filesystem::path root_;
    const Clock& clock_;
    std::vector<Card> cards_;
};
