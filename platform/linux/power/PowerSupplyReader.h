#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/PowerSupplySource.h"
#include "platform/linux/power/PowerSupplyAttributes.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// The machine's batteries and external supplies under <root>/sys/class/power_supply.
// Batteries are the system's batteries as hardware/SystemBattery.h has them (not a mouse's or
// a headset's), skipped while their slot is empty. External power is any "Mains" or "USB"
// supply that powers the system. The folder is listed on every read, so supplies that come
// and go (a second pack, a USB-C charger) are followed; a supply's type and which attributes it
// offers are learnt once, when it appears, and its attributes are then read through kept
// descriptors.
class PowerSupplyReader final : public PowerSupplySource {
public:
    explicit PowerSupplyReader(const std::filesystem::path& root = "/");

    // The batteries combined as describePowerSupplies says.
    PowerSupplyReading read() override;
    // The raw attributes of this read.
    PowerSupplyAttributes readAttributes();

    enum class Role { battery, externalPower, ignored };

    struct Attribute {
        int index = 0;  // which attribute of the reader's table
        KeptOpenFile file;
    };

    struct Supply {
        std::string name;
        ino_t inode = 0;  // a supply registered again under the same name gets a new one
        Role role = Role::ignored;
        std::vector<Attribute> attributes;
    };

private:
    std::filesystem::path directory_;
    std::vector<Supply> supplies_;  // by name
};
