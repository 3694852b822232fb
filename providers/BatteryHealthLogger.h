#pragma once

#include "core/ProviderInterfaces.h"

// The battery health log is not built yet: until it is, nothing is recorded.
class BatteryHealthLogger final : public BatteryHealthRecorder {
public:
    void record(const BatteryStats&) override {}
};
