#include "providers/RamProvider.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

// Hands the provider whatever the test puts in `next`.
struct ScriptedMemorySource final : MemorySource {
    explicit ScriptedMemorySource(std::uint64_t size) : size(size) {}
    std::uint64_t pageSize() const override { return size; }
    std::optional<MemoryCounters> read() override { return next; }
    std::uint64_t size;
    std::optional<MemoryCounters> next;
};

struct ProviderRig {
    explicit ProviderRig(std::uint64_t pageSize = 4096) {
        auto owned = std::make_unique<ScriptedMemorySource>(pageSize);
        source = owned.get();
        provider = std::make_unique<RamProvider>(std::move(owned), clock);
    }
    RamStats sampleAfter(double seconds, std::optional<MemoryCounters> counters) {
        clock.advance(std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::duration<double>(seconds)));
        source->next = counters;
        return provider->sample();
    }
    FakeClock clock;
    ScriptedMemorySource* source = nullptr;
    std::unique_ptr<RamProvider> provider;
};

MemoryCounters paging(std::uint64_t pageIns, std::uint64_t pageOuts) {
    MemoryCounters counters;
    counters.physicalBytes = 8 * kGiB;
    counters.freePages = 1 << 20;  // half of memory: no pressure from headroom
    counters.pageIns = pageIns;
    counters.pageOuts = pageOuts;
    return counters;
}

struct RateStep {
    double secondsBefore;
    std::optional<MemoryCounters> counters;  // empty: the read fails
    double pageInsPerSec;
    double pageOutsPerSec;
};

TEST(RamProviderRates, FollowTheCountersBetweenCalls) {
    const std::map<std::string, std::vector<RateStep>> scenarios = {
        {"a counter going backwards gives 0 and restarts from there",
         {{1, paging(1000, 2000), 0, 0},
          {1, paging(400, 2500), 0, 500},
          {1, paging(500, 2600), 100, 100}}},
        {"no elapsed time gives 0 but still takes the counters",
         {{1, paging(1000, 1000), 0, 0},
          {0, paging(1500, 1500), 0, 0},
          {0.5, paging(1600, 1700), 200, 400}}},
        {"a counter that was 0 has no rate yet",
         {{1, paging(0, 0), 0, 0}, {1, paging(50, 0), 0, 0}, {1, paging(150, 30), 100, 0}}},
        {"a failed read keeps the counters and measures over the whole gap",
         {{1, paging(1000, 1000), 0, 0},
          {2, std::nullopt, 0, 0},
          {2, paging(1400, 1800), 100, 200}}},
    };
    for (const auto& [name, steps] : scenarios) {
        ProviderRig rig;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const RamStats ram = rig.sampleAfter(steps[i].secondsBefore, steps[i].counters);
            EXPECT_DOUBLE_EQ(ram.pageInsPerSec, steps[i].pageInsPerSec) << name << ", call " << i;
            EXPECT_DOUBLE_EQ(ram.pageOutsPerSec, steps[i].pageOutsPerSec) << name << ", call " << i;
        }
    }
}

TEST(RamProviderRecord, SplitsMemoryInPagesOfTheSourcesSize) {
    ProviderRig rig(16384);
    MemoryCounters counters;
    counters.physicalBytes = 8 * kGiB;
    counters.wiredPages = 10;
    counters.activePages = 20;
    counters.compressedPages = 3;
    counters.cachedPages = 40;
    counters.freePages = 500000;
    counters.swapTotalBytes = 4 * kGiB;
    counters.swapUsedBytes = 0;
    const RamStats ram = rig.sampleAfter(1, counters);

    RamStats expected;
    expected.totalBytes = 8 * kGiB;
    expected.usedBytes = 33 * 16384;
    expected.wiredBytes = 10 * 16384;
    expected.activeBytes = 20 * 16384;
    expected.compressedBytes = 3 * 16384;
    expected.cachedBytes = 40 * 16384;
    expected.freeBytes = 500000ull * 16384;
    expected.swapTotalBytes = 4 * kGiB;
    EXPECT_EQ(ram, expected);
}

TEST(RamProviderRecord, UsedNeverExceedsPhysicalMemoryAndAFailedReadIsAllZero) {
    ProviderRig rig;
    MemoryCounters counters;
    counters.physicalBytes = 1000 * 4096;
    counters.wiredPages = 400;
    counters.activePages = 500;
    counters.compressedPages = 300;
    counters.freePages = 500;
    EXPECT_EQ(rig.sampleAfter(1, counters).usedBytes, 1000u * 4096);
    EXPECT_EQ(rig.sampleAfter(1, std::nullopt), RamStats{});
}

TEST(RamProviderPressure, LevelFollowsHeadroomAndSwap) {
    struct Row {
        const char* name;
        std::uint64_t freePages, cachedPages, swapUsedBytes, pageOutsPerSec;
        int expectedLevel;
    };
    const Row rows[] = {
        {"ample headroom, no swap", 30, 20, 0, 0, 0},
        {"headroom just under a tenth", 5, 4, 0, 0, 2},
        {"headroom exactly a tenth", 6, 4, 0, 0, 1},
        {"headroom exactly a fifth", 10, 10, 0, 0, 0},
        {"one byte of swap", 30, 20, 1, 0, 1},
        {"exactly 2 GiB swap, paging out", 30, 20, 2 * kGiB, 50, 1},
        {"over 2 GiB swap, paging out exactly 10", 30, 20, 2 * kGiB + 1, 10, 1},
        {"over 2 GiB swap, paging out 11", 30, 20, 2 * kGiB + 1, 11, 2},
    };
    for (const Row& row : rows) {
        ProviderRig rig;
        MemoryCounters counters;
        counters.physicalBytes = 100 * 4096;  // headroom in hundredths = free + cached pages
        counters.freePages = row.freePages;
        counters.cachedPages = row.cachedPages;
        counters.swapTotalBytes = 8 * kGiB;
        counters.swapUsedBytes = row.swapUsedBytes;
        counters.pageOuts = 1000;
        rig.sampleAfter(1, counters);
        counters.pageOuts += row.pageOutsPerSec;
        EXPECT_EQ(rig.sampleAfter(1, counters).pressureLevel, row.expectedLevel) << row.name;
    }
}

TEST(MemoryPressurePercent, TruncatesCapsAndGuardsZeroTotal) {
    struct Case {
        std::uint64_t wired, compressed, total;
        int expected;
    };
    const Case cases[] = {
        {1000, 7, 1000, 100},  // 100.7 %
        {400, 59, 1000, 45},   // 45.9 %
        {123, 456, 0, 0},
    };
    for (const auto& c : cases) {
        RamStats ram;
        ram.wiredBytes = c.wired;
        ram.compressedBytes = c.compressed;
        ram.totalBytes = c.total;
        EXPECT_EQ(memoryPressurePercent(ram), c.expected)
            << c.wired << " + " << c.compressed << " of " << c.total;
    }
}

}  // namespace
