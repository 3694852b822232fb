#pragma once

#include "core/ProviderInterfaces.h"

// Battery sampling is not built yet: until it is, every poll reports the no-battery record.
class BatteryProvider final : public BatterySampler {
public:
    BatteryStats sample() override { return BatteryStats{}; }
};
