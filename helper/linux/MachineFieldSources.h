#pragma once

#include "hardware/HwmonInventory.h"
#include "hardware/ThermalZones.h"
#include "helper/FieldSource.h"
#include "helper/linux/LinuxSensorSystem.h"

#include <optional>

// The field sources of this machine: an Intel Mac's SMC where the applesmc driver is loaded,
// else the Linux sources that exist (none on a machine without a known sensor). Absent, after
// printing why, when the SMC cannot be opened.
std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system,
                                                    const HwmonInventory& hwmon,
                                                    const ThermalZones& zones);
std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system);
