#pragma once

#include "core/SampleRecords.h"
#include "shared/SensorReading.h"

// The helper's reading as the application's record: a quantity is present only when it is
// above zero; fans are listed by the fan count, each only when its speed is zero or more, at
// most two. Every channel is kept as the helper gave it, in its order, its texts read as UTF-8.
SensorStats sensorStatsFrom(const SensorReading& reading);
