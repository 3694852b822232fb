#include "providers/CpuProvider.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>
#include <utility>

namespace {

struct TickDeltas {
    std::uint64_t user = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t nice = 0;

    std::uint64_t total() const { return user + system + idle + nice; }
    std::uint64_t busy() const { return user + system + nice; }

    TickDeltas& operator+=(const TickDeltas& other) {
        user += other.user;
        system += other.system;
        idle += other.idle;
        nice += other.nice;
        return *this;
    }
};

// Unsigned 32-bit subtraction: a counter that went backwards is taken to have wrapped.
TickDeltas deltasBetween(const CpuTickSet& previous, const CpuTickSet& current) {
    return {static_cast<std::uint32_t>(current.user - previous.user),
            static_cast<std::uint32_t>(current.system - previous.system),
            static_cast<std::uint32_t>(current.idle - previous.idle),
            static_cast<std::uint32_t>(current.nice - previous.nice)};
}

// Pairs tick sets by processor number, not position: taking a processor offline removes its
// line and would shift every later one. While the set of processors stays the same, the
// position already matches and no lookup table is built.
class PreviousTicksByCpu {
public:
    explicit PreviousTicksByCpu(const std::vector<CpuTickSet>& ticks) : ticks_(ticks) {}

    const CpuTickSet* find(std::size_t position, int cpu) const {
        if (position < ticks_.size() && ticks_[position].cpu == cpu) {
            return &ticks_[position];
        }
        if (byCpu_.empty()) {
            for (const CpuTickSet& ticks : ticks_) {
                byCpu_.emplace(ticks.cpu, &ticks);  // the first of a repeated number wins
            }
        }
        const auto found = byCpu_.find(cpu);
        return found == byCpu_.end() ? nullptr : found->second;
    }

private:
    const std::vector<CpuTickSet>& ticks_;
    mutable std::unordered_map<int, const CpuTickSet*> byCpu_;
};

double share(std::uint64_t part, std::uint64_t total) {
    return total == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(total);
}

std::int64_t uptimeSeconds(const Clock& clock, std::optional<std::int64_t> bootTime) {
    if (!bootTime) {
        return 0;  // unknown; the wall time itself would read as decades of uptime
    }
    const auto wallSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(clock.wallNow().time_since_epoch())
            .count();
    return std::max<std::int64_t>(0, wallSeconds - *bootTime);
}

}  // namespace

CpuProvider::CpuProvider(std::unique_ptr<CpuSource> source, const Clock& clock)
    : source_(std::move(source)), clock_(clock) {
    const CoreCounts counts = source_->coreCounts();
    efficiencyCoreCount_ = counts.efficiency;
    performanceCoreCount_ = counts.performance;
}

CpuStats CpuProvider::sample() {
    CpuCounters counters = source_->readCounters();
    if (!counters.ticks) {
        return {};
    }
    if (!previousTicks_) {
        previousTicks_ = std::move(counters.ticks);
        return {};
    }

    const PreviousTicksByCpu previousTicks(*previousTicks_);
    CpuStats stats;
    TickDeltas sums;
    for (std::size_t position = 0; position < counters.ticks->size(); ++position) {
        const CpuTickSet& current = (*counters.ticks)[position];
        const CpuTickSet* previous = previousTicks.find(position, current.cpu);
        if (previous == nullptr) {
            continue;  // came online since the previous call
        }
        const TickDeltas deltas = deltasBetween(*previous, current);
        stats.perCore.append(share(deltas.busy(), deltas.total()));
        sums += deltas;
    }

    // Nice time is busy, but neither user nor system.
    stats.overall = share(sums.busy(), sums.total());
    stats.userPercent = share(sums.user, sums.total());
    stats.systemPercent = share(sums.system, sums.total());
    stats.efficiencyCores = efficiencyCoreCount_;
    stats.performanceCores = performanceCoreCount_;
    stats.loadAvg = counters.loadAverages.value_or(LoadAverages{});
    stats.uptimeSeconds = uptimeSeconds(clock_, counters.bootTimeSeconds);

    previousTicks_ = std::move(counters.ticks);
    return stats;
}
