#pragma once

#include "core/SystemMonitor.h"

class Clock;
class NotificationCenter;

// The monitor's parts for this Linux machine. `clock` and `center` must outlive them; the
// disk provider posts "statsDidUpdate" on `center` after each background scan.
MonitorParts makeLinuxMonitorParts(Clock& clock, NotificationCenter& center);
