#pragma once

#include "core/ProviderInterfaces.h"

// GPU sampling is not built yet: until it is, every poll reports the initial, empty record.
class GPUProvider final : public GPUSampler {
public:
    GPUStats sample() override { return GPUStats{}; }
};
