#pragma once

#include "hardware/HwmonInventory.h"
#include "hardware/ThermalZones.h"
#include "helper/FieldSource.h"
#include "helper/linux/LinuxSensorSystem.h"

// The field sources of this Linux machine from the Linux source table: which sensors exist is
// found once, here; a source reads only its own file when asked. The sources share the NVML
// library and the power meters they hold, and the meters take their first sample now.
// `hwmon` and `zones` are what was found of the machine, shared with the list of every channel
// so the helper walks sysfs once at start.
FieldSources findLinuxFieldSources(const LinuxSensorSystem& system, const HwmonInventory& hwmon,
                                   const ThermalZones& zones);
FieldSources findLinuxFieldSources(const LinuxSensorSystem& system);
