#include "platform/linux/LinuxProviders.h"
#include "providers/RAMProvider.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using std::chrono::duration;
using std::chrono::duration_cast;
using std::chrono::nanoseconds;

constexpr std::uint64_t kGiB = 1ull << 30;

// Hands the provider whatever the test puts in `next`.
class ScriptedMemorySource final : public MemorySource {
public:
    explicit ScriptedMemorySource(std::uint64_t pageSize) : pageSize_(pageSize) {}
    std::uint64_t pageSize() const override { return pageSize_; }
    std::optional<MemoryCounters> read() override { return next; }

    std::optional<MemoryCounters> next;

private:
    std::uint64_t pageSize_;
};

struct ProviderRig {
    explicit ProviderRig(std::uint64_t pageSize = 4096) {
        auto owned = std::make_unique<ScriptedMemorySource>(pageSize);
        source = owned.get();
        provider = std::make_unique<RAMProvider>(std::move(owned), clock);
    }
    RAMStats sampleAfter(double seconds, std::optional<MemoryCounters> counters) {
        clock.advance(duration_cast<nanoseconds>(duration<double>(seconds)));
        source->next = counters;
        return provider->sample();
    }

    FakeClock clock;
    ScriptedMemorySource* source = nullptr;
    std::unique_ptr<RAMProvider> provider;
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

TEST(RAMProviderRates, FollowTheCountersBetweenCalls) {
    const std::map<std::string, std::vector<RateStep>> scenarios = {
        {"first call reports 0 even for large counters", {{0.5, paging(900000, 500000), 0, 0}}},
        {"steady counting", {{1, paging(1000, 2000), 0, 0}, {2, paging(1600, 2100), 300, 50}}},
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
            const RAMStats ram = rig.sampleAfter(steps[i].secondsBefore, steps[i].counters);
            EXPECT_DOUBLE_EQ(ram.pageInsPerSec, steps[i].pageInsPerSec) << name << ", call " << i;
            EXPECT_DOUBLE_EQ(ram.pageOutsPerSec, steps[i].pageOutsPerSec) << name << ", call " << i;
        }
    }
}

TEST(RAMProviderRecord, SplitsMemoryInPagesOfTheSourcesSize) {
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
    const RAMStats ram = rig.sampleAfter(1, counters);

    RAMStats expected;
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

TEST(RAMProviderRecord, UsedNeverExceedsPhysicalMemory) {
    ProviderRig rig;
    MemoryCounters counters;
    counters.physicalBytes = 1000 * 4096;
    counters.wiredPages = 400;
    counters.activePages = 500;
    counters.compressedPages = 300;
    counters.freePages = 500;
    EXPECT_EQ(rig.sampleAfter(1, counters).usedBytes, 1000u * 4096);
}

TEST(RAMProviderRecord, SourceWithoutPageSizeFallsBackTo16KiB) {
    ProviderRig rig(0);
    EXPECT_EQ(rig.provider->pageSize(), 16384u);
}

TEST(RAMProviderRecord, FailedReadGivesTheAllZeroRecord) {
    ProviderRig rig;
    rig.sampleAfter(1, paging(1000, 1000));
    EXPECT_EQ(rig.sampleAfter(1, std::nullopt), RAMStats{});
}

struct PressureCase {
    const char* name;
    std::uint64_t freePages;
    std::uint64_t cachedPages;
    std::uint64_t swapUsedBytes;
    std::uint64_t pageOutsPerSec;
    int expectedLevel;
};

void PrintTo(const PressureCase& c, std::ostream* out) {
    *out << c.name;
}

class RAMProviderPressure : public ::testing::TestWithParam<PressureCase> {};

TEST_P(RAMProviderPressure, LevelFollowsHeadroomAndSwap) {
    const PressureCase& c = GetParam();
    ProviderRig rig;
    MemoryCounters counters;
    counters.physicalBytes = 100 * 4096;  // headroom in hundredths = free + cached pages
    counters.freePages = c.freePages;
    counters.cachedPages = c.cachedPages;
    counters.swapTotalBytes = 8 * kGiB;
    counters.swapUsedBytes = c.swapUsedBytes;
    counters.pageOuts = 1000;
    rig.sampleAfter(1, counters);
    counters.pageOuts += c.pageOutsPerSec;
    const RAMStats ram = rig.sampleAfter(1, counters);
    ASSERT_DOUBLE_EQ(ram.pageOutsPerSec, static_cast<double>(c.pageOutsPerSec));
    EXPECT_EQ(ram.pressureLevel, c.expectedLevel);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, RAMProviderPressure,
    ::testing::Values(PressureCase{"AmpleHeadroomNoSwap", 30, 20, 0, 0, 0},
                      PressureCase{"HeadroomJustUnderATenth", 5, 4, 0, 0, 2},
                      PressureCase{"HeadroomExactlyATenth", 6, 4, 0, 0, 1},
                      PressureCase{"HeadroomBetweenTheBounds", 10, 5, 0, 0, 1},
                      PressureCase{"HeadroomExactlyAFifth", 10, 10, 0, 0, 0},
                      PressureCase{"OneByteOfSwap", 30, 20, 1, 0, 1},
                      PressureCase{"Exactly2GiBSwapPagingOut", 30, 20, 2 * kGiB, 50, 1},
                      PressureCase{"Over2GiBSwapPagingOut", 30, 20, 2 * kGiB + 1, 50, 2},
                      PressureCase{"Over2GiBSwapPagingOutExactly10", 30, 20, 2 * kGiB + 1, 10, 1},
                      PressureCase{"Over2GiBSwapPagingOut11", 30, 20, 2 * kGiB + 1, 11, 2},
                      PressureCase{"Over2GiBSwapQuiet", 30, 20, 2 * kGiB + 1, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MemoryPressurePercent, TruncatesCapsAndGuardsZeroTotal) {
    struct Case {
        std::uint64_t wired, compressed, total;
        int expected;
    };
    const Case cases[] = {
        {1000, 7, 1000, 100},  // 100.7 %
        {400, 59, 1000, 45},   // 45.9 %
        {999, 0, 1000, 99},    // 99.9 %
        {600, 400, 1000, 100}, {5000, 5000, 1000, 100}, {0, 0, 1000, 0}, {123, 456, 0, 0},
    };
    for (const auto& c : cases) {
        RAMStats ram;
        ram.wiredBytes = c.wired;
        ram.compressedBytes = c.compressed;
        ram.totalBytes = c.total;
        EXPECT_EQ(memoryPressurePercent(ram), c.expected)
            << c.wired << " + " << c.compressed << " of " << c.total;
    }
}

std::map<std::string, std::uint64_t> meminfoKib() {
    std::map<std::string, std::uint64_t> values;
    std::ifstream file("/proc/meminfo");
    std::string key;
    std::uint64_t value = 0;
    std::string unit;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        if (fields >> key >> value) {
            values[key.substr(0, key.size() - 1)] = value;
        }
    }
    return values;
}

TEST(LinuxRAMProviderLive, UsedMemoryIsCloseToWhatFreeReportsAsUsed) {
    FakeClock clock;
    const auto provider = makeLinuxRAMProvider(clock);
    // Memory moves between two reads on a busy machine: compare with free(1) on both sides.
    const auto before = meminfoKib();
    const RAMStats ram = provider->sample();
    const auto after = meminfoKib();
    ASSERT_TRUE(after.contains("MemTotal") && after.contains("MemAvailable"));

    const double total = static_cast<double>(after.at("MemTotal")) * 1024;
    const auto freeUsed = [&](const auto& meminfo) {
        return total - static_cast<double>(meminfo.at("MemAvailable")) * 1024;
    };
    const double lowest = std::min(freeUsed(before), freeUsed(after));
    const double highest = std::max(freeUsed(before), freeUsed(after));
    EXPECT_EQ(static_cast<double>(ram.totalBytes), total);
    EXPECT_GT(static_cast<double>(ram.usedBytes), lowest - 0.03 * total);
    EXPECT_LT(static_cast<double>(ram.usedBytes), highest + 0.03 * total);
    EXPECT_GT(ram.usedBytes, 0u);
    EXPECT_GT(ram.freeBytes, 0u);

    clock.advance(std::chrono::seconds(2));
    const RAMStats next = provider->sample();
    EXPECT_EQ(next.totalBytes, ram.totalBytes);
    EXPECT_GE(next.pageInsPerSec, 0);
    EXPECT_GE(next.pageOutsPerSec, 0);
}

}  // namespace
