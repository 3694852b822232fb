#pragma once

#include "core/SystemMonitor.h"
#include "linux_monitor/LinuxProviders.h"

class Clock;

// The monitor's parts for this Linux machine. `clock` must outlive them.
MonitorParts makeLinuxMonitorParts(Clock& clock,
                                   StorageDetail storage = StorageDetail::categoriesAndVolumes);
