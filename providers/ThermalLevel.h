#pragma once

#include "core/SampleRecords.h"
#include "platform/ThermalReadings.h"

// How hot the machine is by its temperatures alone, against the limits its drivers declare:
// - critical: a zone at or above a hot trip, or within 5 °C of a critical trip or hwmon crit;
// - serious: a zone at or above a passive trip, or a sensor at or above its hwmon max;
// - fair: a zone at or above an active trip, or within 10 °C of a passive trip or hwmon max;
// - nominal otherwise.
ThermalState temperatureLevel(const ThermalReadings& readings);
