#pragma once

#include "core/SystemMonitor.h"

class Clock;

// The monitor's parts for this Linux machine. `clock` must outlive them.
MonitorParts makeLinuxMonitorParts(Clock& clock);
