#pragma once

#include "core/ProviderInterfaces.h"

// Disk sampling is not built yet: until it is, every poll reports the initial, empty record.
class DiskProvider final : public DiskSampler {
public:
    DiskStats sample() override { return DiskStats{}; }
};
