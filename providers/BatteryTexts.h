#pragma once

#include "core/SampleRecords.h"

#include <QString>

// "Full in 1h 35m" while charging, "45m remaining" on battery, "Fully Charged" when held on
// external power, "Calculating..." while no estimate is known.
QString batteryTimeText(const BatteryStats& battery);

// "55.2 / 58.0 Wh" (present full charge, then design) when the voltage is known, else
// "4382 / 5103 mAh"; empty when either capacity is unknown.
QString batteryCapacityText(const BatteryStats& battery);
