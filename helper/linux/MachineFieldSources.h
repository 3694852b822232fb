#pragma once

#include "helper/FieldSource.h"
#include "helper/linux/LinuxSensorSystem.h"

#include <optional>

// The field sources of this machine: an Intel Mac's SMC where the applesmc driver is loaded,
// else the Linux sources that exist. Absent, after printing why, when the SMC cannot be
// opened or no source exists.
std::optional<FieldSources> findMachineFieldSources(const LinuxSensorSystem& system);
