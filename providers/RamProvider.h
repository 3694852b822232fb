#pragma once

#include "core/Clock.h"
#include "core/MemoryPressure.h"
#include "core/ProviderInterfaces.h"
#include "platform/MemorySource.h"

#include <cstdint>
#include <memory>

// Samples memory once per poll: the split of physical memory, swap use, paging rates and a
// three-step pressure level. Keeps the previous paging counters and when they were taken, and
// computes the rates itself from its clock.
class RamProvider final : public RamSampler {
public:
    // The clock must outlive the provider.
    RamProvider(std::unique_ptr<MemorySource> source, const Clock& clock);

    // When the source cannot be read, the record is all zeros and the previous counters are
    // kept, so the next successful call measures its rates over the whole gap.
    RamStats sample() override;

    std::uint64_t pageSize() const { return pageSize_; }

private:
    std::unique_ptr<MemorySource> source_;
    const Clock& clock_;
    std::uint64_t pageSize_;
    std::uint64_t prevPageIns_ = 0;
    std::uint64_t prevPageOuts_ = 0;
    Clock::SteadyTime prevTime_;
};
