#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "core/SampleRecords.h"
#include "platform/CpuSource.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

// Turns cumulative per-processor ticks into busy fractions over the interval since the
// previous call, and adds the load averages, the uptime and the core counts. Tick deltas carry
// their own time base, so no elapsed time is needed; the clock only gives the uptime.
class CpuProvider final : public CpuSampler {
public:
    // Reads the core counts from `source` once, here.
    CpuProvider(std::unique_ptr<CpuSource> source, const Clock& clock);

    // The empty record on the first call and whenever the ticks cannot be read.
    CpuStats sample() override;

private:
    std::unique_ptr<CpuSource> source_;
    const Clock& clock_;
    std::optional<std::vector<CpuTickSet>> previousTicks_;
    int efficiencyCoreCount_ = 0;
    int performanceCoreCount_ = 0;
};
