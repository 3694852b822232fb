#pragma once

#include "core/ProviderInterfaces.h"
#include "platform/PowerSupplySource.h"

#include <filesystem>
#include <memory>

// Samples the battery once per poll from the first power source and the battery gauge:
// charge, charging state, power source, time estimate and condition from the one; cycle count,
// capacities, voltage and current from the other, with the health percentage and the power
// through the battery derived from them. Keeps no state between samples.
class BatteryProvider final : public BatterySampler {
public:
    explicit BatteryProvider(std::unique_ptr<PowerSupplySource> source);

    // The no-battery record (the default BatteryStats) when no power source is listed. A
    // missing gauge still gives a battery, with -1 for cycle count, capacities and health.
    BatteryStats sample() override;

private:
    std::unique_ptr<PowerSupplySource> source_;
};
