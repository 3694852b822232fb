#pragma once

#include "platform/PowerSupplySource.h"
#include "platform/linux/power/PowerSupplyAttributes.h"

// Turns the kernel's battery attributes into the one power source and gauge the battery
// provider reads. Several batteries (a laptop with a second pack) show as one:
// - charge: the sum of their energies over the sum of their full energies; a lone battery
//   gives its own `capacity` when that is a valid percentage;
// - charging when any charges; on external power when a Mains/USB supply is online or a
//   battery charges (and, with no such supply listed at all, when a battery is full or held);
// - time estimates: the driver's own for a lone battery, else the summed energy (still to
//   gain, or left) over the summed power; on external power and neither charging nor
//   discharging, kTimeRemainingUnlimited;
// - capacities: the sums of design and full capacity in mAh (energy converted with the
//   minimum design voltage, else the present voltage);
// - cycle count: the highest known (the most worn pack), 0 meaning unknown;
// - voltage: the mean present voltage; amperage: the total power at that voltage, negative
//   while discharging (ACPI reports the current unsigned, so the sign comes from `status`);
// - condition: the first reported health other than "Good" (and "Unknown"), else "Good".
PowerSupplyReading describePowerSupplies(const PowerSupplyAttributes& attributes);
