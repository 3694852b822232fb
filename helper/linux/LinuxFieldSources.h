#pragma once

#include "helper/FieldSource.h"
#include "helper/linux/LinuxSensorSystem.h"

// The field sources of this Linux machine from the Linux source table: which sensors exist is
// found once, here; a source reads only its own file when asked. The sources share the NVML
// library and the power meters they hold, and the meters take their first sample now.
FieldSources findLinuxFieldSources(const LinuxSensorSystem& system);
