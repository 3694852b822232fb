#include "providers/RamProvider.h"

#include <algorithm>

namespace {

// Used when the source reports no usable page size.
constexpr std::uint64_t kFallbackPageSize = 16384;
constexpr std::uint64_t kHeavySwapBytes = 2147483648;  // 2 GiB
constexpr double kHeavyPageOutsPerSec = 10.0;
constexpr double kCriticalHeadroom = 0.1;
constexpr double kElevatedHeadroom = 0.2;

// Pages per second since the previous reading. Nothing before the first reading, no time
// elapsed, or a counter that went backwards (a reset) gives 0.
double pagingRate(std::uint64_t previous, std::uint64_t current, double elapsedSeconds) {
    if (previous == 0 || elapsedSeconds <= 0 || current < previous) {
        return 0;
    }
    return static_cast<double>(current - previous) / elapsedSeconds;
}

int pressureLevel(const RamStats& ram) {
    const double headroom =
        (static_cast<double>(ram.freeBytes) + static_cast<double>(ram.cachedBytes)) /
        static_cast<double>(ram.totalBytes);
    if (headroom < kCriticalHeadroom) {
        return 2;
    }
    if (ram.swapUsedBytes > kHeavySwapBytes && ram.pageOutsPerSec > kHeavyPageOutsPerSec) {
        return 2;
    }
    // Any swap in use at all means memory has run short at some point.
    if (headroom < kElevatedHeadroom || ram.swapUsedBytes != 0) {
        return 1;
    }
    return 0;
}

}  // namespace

RamProvider::RamProvider(std::unique_ptr<MemorySource> source, const Clock& clock)
    : source_(std::move(source)),
      clock_(clock),
      pageSize_(source_->pageSize() >= 1 ? source_->pageSize() : kFallbackPageSize),
      prevTime_(clock.steadyNow()) {}

RamStats RamProvider::sample() {
    const auto counters = source_->read();
    if (!counters) {
        return RamStats{};
    }

    RamStats ram;
    ram.totalBytes = counters->physicalBytes;
    ram.wiredBytes = counters->wiredPages * pageSize_;
    ram.activeBytes = counters->activePages * pageSize_;
    ram.compressedBytes = counters->compressedPages * pageSize_;
    ram.cachedBytes = counters->cachedPages * pageSize_;
    ram.freeBytes = counters->freePages * pageSize_;
    ram.usedBytes =
        std::min(ram.totalBytes, ram.wiredBytes + ram.activeBytes + ram.compressedBytes);

    const Clock::SteadyTime now = clock_.steadyNow();
    const double elapsed = secondsBetween(prevTime_, now);
    ram.pageInsPerSec = pagingRate(prevPageIns_, counters->pageIns, elapsed);
    ram.pageOutsPerSec = pagingRate(prevPageOuts_, counters->pageOuts, elapsed);
    prevPageIns_ = counters->pageIns;
    prevPageOuts_ = counters->pageOuts;
    prevTime_ = now;

    ram.swapUsedBytes = counters->swapUsedBytes;
    ram.swapTotalBytes = counters->swapTotalBytes;
    ram.pressureLevel = pressureLevel(ram);
    return ram;
}
