#include "providers/DiskProvider.h"
#include "providers/StorageScan.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

class FakeDiskSource final : public DiskSource {
public:
    std::optional<VolumeCapacity> capacity;
    std::optional<std::vector<BlockDeviceCounters>> counters = std::vector<BlockDeviceCounters>{};

    std::optional<VolumeCapacity> startupVolumeCapacity() override { return capacity; }
    std::optional<std::vector<BlockDeviceCounters>> blockDeviceCounters() override {
        return counters;
    }
};

// Holds each scan until the test finishes it, or finishes it by itself after a set time of
// the fake clock.
class FakeScanner final : public StorageScanner {
public:
    explicit FakeScanner(FakeClock& clock) : clock_(clock) {}

    void start(Completion done) override {
        startTimes.push_back(clock_.elapsedSeconds());
        if (durations.empty()) {
            pending.push_back(std::move(done));
            return;
        }
        const double seconds = durations.size() > 1 ? durations.front() : durations.back();
        if (durations.size() > 1) {
            durations.erase(durations.begin());
        }
        auto result = nextResult;
        clock_.callAfter(std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::duration<double>(seconds)),
                         [done = std::move(done), result] { done(result); });
    }

    void finishOldest(StorageScanResult result = {}) {
        auto done = std::move(pending.front());
        pending.erase(pending.begin());
        done(std::move(result));
    }

    std::vector<double> startTimes;
    std::vector<Completion> pending;
    std::vector<double> durations;  // empty: held for the test; the last one repeats
    StorageScanResult nextResult;

private:
    FakeClock& clock_;
};

struct ProviderHarness {
    FakeClock clock;
    FakeDiskSource* source = nullptr;
    FakeScanner* scanner = nullptr;
    std::unique_ptr<DiskProvider> provider;
    int scansHeard = 0;  // finished scans handed to the listener

    ProviderHarness() {
        auto ownedSource = std::make_unique<FakeDiskSource>();
        auto ownedScanner = std::make_unique<FakeScanner>(clock);
        source = ownedSource.get();
        scanner = ownedScanner.get();
        provider =
            std::make_unique<DiskProvider>(clock, std::move(ownedSource), std::move(ownedScanner));
        provider->setScanListener([this](const auto&, const auto&) { ++scansHeard; });
    }
};

std::chrono::nanoseconds seconds(double value) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(value));
}

// ---- capacity of the startup volume ----

TEST(DiskCapacity, CountsUseAsDfDoes) {
    struct Case {
        const char* what;
        std::optional<VolumeCapacity> capacity;  // total, free, available, for important use
        std::int64_t total, used, available, purgeable;
        double fraction;
    };
    const std::vector<Case> cases{
        {"unreadable: all zero", std::nullopt, 0, 0, 0, 0, 0},
        {"root's reserve is neither used nor available", VolumeCapacity{1000, 500, 450, 450}, 1000,
         500, 450, 0, 500.0 / 950},
        {"no reserve", VolumeCapacity{1000, 400, 400, 400}, 1000, 600, 400, 0, 0.6},
        {"all free", VolumeCapacity{1000, 1000, 950, 950}, 1000, 0, 950, 0, 0},
        {"full for users, not for root", VolumeCapacity{1000, 50, 0, 0}, 1000, 950, 0, 0, 1},
        {"zero size", VolumeCapacity{0, 0, 0, 0}, 0, 0, 0, 0, 0},
        {"more free than total: used 0, not negative", VolumeCapacity{100, 300, 300, 300}, 100, 0,
         300, 0, 0},
        {"important use may take purgeable space", VolumeCapacity{1000, 300, 300, 400}, 1000, 700,
         400, 100, 700.0 / 1100},
    };
    for (const Case& row : cases) {
        ProviderHarness harness;
        harness.source->capacity = row.capacity;
        const DiskStats stats = harness.provider->sample();
        SCOPED_TRACE(row.what);
        EXPECT_EQ(stats.totalBytes, row.total);
        EXPECT_EQ(stats.usedBytes, row.used);
        EXPECT_EQ(stats.availableBytes, row.available);
        EXPECT_EQ(stats.purgeableBytes, row.purgeable);
        EXPECT_DOUBLE_EQ(diskFraction(stats), row.fraction);
    }
}

// ---- throughput ----

TEST(DiskThroughput, FollowsTheCounterRules) {
    using Devices = std::vector<BlockDeviceCounters>;
    struct Step {
        double secondsBefore;
        std::optional<Devices> counters;
        double readRate, writeRate;
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> cases{
        {"rate over the elapsed time",
         {{5, Devices{{"sda", 1000, 2000}}, 0, 0}, {2, Devices{{"sda", 5000, 2400}}, 2000, 200}}},
        {"a dropped counter gives zero, then resumes",
         {{0, Devices{{"nvme0n1", 9000, 9000}, {"sdb", 1000, 1000}}, 0, 0},
          {1, Devices{{"nvme0n1", 9100, 9100}}, 0, 0},
          {1, Devices{{"nvme0n1", 9300, 9200}}, 200, 100}}},
        {"an unreadable list keeps the last reading",
         {{0, Devices{{"sda", 1000, 1000}}, 0, 0},
          {1, std::nullopt, 0, 0},
          {1, Devices{{"sda", 3000, 1400}}, 1000, 200}}},
        {"no time elapsed",
         {{0, Devices{{"sda", 1000, 1000}}, 0, 0},
          {0, Devices{{"sda", 5000, 5000}}, 0, 0},
          {1, Devices{{"sda", 6000, 6000}}, 1000, 1000}}},
        {"sums over every disk saturate instead of wrapping",
         {{0, Devices{{"a", UINT64_MAX - 10, 0}, {"b", 5, 0}}, 0, 0},
          {1, Devices{{"a", UINT64_MAX - 10, 0}, {"b", 100, 0}}, 5, 0}}},
    };
    for (const auto& [name, steps] : cases) {
        ProviderHarness harness;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            harness.clock.advance(seconds(steps[i].secondsBefore));
            harness.source->counters = steps[i].counters;
            const DiskStats stats = harness.provider->sample();
            SCOPED_TRACE(testing::Message() << name << ", step " << i);
            EXPECT_DOUBLE_EQ(stats.readBytesPerSec, steps[i].readRate);
            EXPECT_DOUBLE_EQ(stats.writeBytesPerSec, steps[i].writeRate);
        }
    }
}

// ---- scan schedule, in virtual time ----

TEST(DiskScanSchedule, FirstPollStartsAScanAndItsListsReachTheListener) {
    ProviderHarness harness;
    DiskStats heard;
    harness.provider->setScanListener([&](const auto& categories, const auto& volumes) {
        heard.categories = categories;
        heard.volumes = volumes;
        ++harness.scansHeard;
    });
    const DiskStats first = harness.provider->sample();
    EXPECT_TRUE(first.categories.isEmpty());
    EXPECT_TRUE(first.volumes.isEmpty());
    ASSERT_EQ(harness.scanner->startTimes.size(), 1u);
    EXPECT_TRUE(harness.provider->scanInProgress());

    harness.clock.advance(2s);
    EXPECT_TRUE(harness.provider->sample().categories.isEmpty());
    EXPECT_EQ(harness.scanner->startTimes.size(), 1u);  // never two at once
    EXPECT_EQ(harness.scansHeard, 0);

    const StorageScanResult result{{{"Downloads", "Downloads", 5 << 20, "arrow.down.circle"}},
                                   {{"/media/a/STICK", "STICK", 8 << 20, 1 << 20, false, true}}};
    harness.scanner->finishOldest(result);
    EXPECT_EQ(harness.scansHeard, 1);
    EXPECT_EQ(heard.categories, result.categories);
    EXPECT_EQ(heard.volumes, result.volumes);
    EXPECT_FALSE(harness.provider->scanInProgress());
    const DiskStats later = harness.provider->sample();
    EXPECT_EQ(later.categories, result.categories);
    EXPECT_EQ(later.volumes, result.volumes);
}

TEST(DiskScanSchedule, AtMostOnceAMinuteAndBackingOffWhenSlow) {
    struct ScheduleCase {
        const char* what;
        std::vector<double> scanSeconds;  // the last one repeats
        double pollEvery, horizon;
        std::vector<double> expectedStarts;
    };
    const std::vector<ScheduleCase> cases{
        {"quick scans: more than 60 s apart", {1}, 2, 200, {0, 62, 124, 186}},
        {"4 s scans: 80 s apart", {4}, 2, 200, {0, 80, 160}},
        {"10 s scans: 200 s apart", {10}, 2, 450, {0, 200, 400}},
        {"a slow scan, then quick ones", {30, 1}, 5, 700, {0, 600, 665}},
    };
    for (const ScheduleCase& row : cases) {
        SCOPED_TRACE(row.what);
        ProviderHarness harness;
        harness.scanner->durations = row.scanSeconds;
        for (double t = 0; t <= row.horizon; t += row.pollEvery) {
            harness.provider->sample();
            harness.clock.advance(seconds(row.pollEvery));
        }
        EXPECT_EQ(harness.scanner->startTimes, row.expectedStarts);
        // Each scan takes at most a twentieth of the time until the next one starts.
        const auto& starts = harness.scanner->startTimes;
        for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
            const double took = row.scanSeconds[std::min(i, row.scanSeconds.size() - 1)];
            EXPECT_LE(took / (starts[i + 1] - starts[i]), 0.05) << "scan " << i;
        }
        EXPECT_EQ(harness.scansHeard, static_cast<int>(row.expectedStarts.size()));
    }
}

// ---- the two lists ----

TEST(StorageLists, CategoriesAboveOneMebibyteLargestFirst) {
    const std::vector<MeasuredCategory> rows{
        {"Applications", "app.badge", 1048576},  // exactly 1 MiB: left out
        {"Developer", "hammer", 1048577},        // one byte more: listed
        {"Downloads", "arrow.down.circle", 50 << 20},
        {"Desktop", "menubar.dock.rectangle", 50 << 20},  // tie: table order
        {"Photos", "photo", 70 << 20},
    };
    const QVector<StorageCategory> expected{
        {"Photos", "Photos", 70 << 20, "photo"},
        {"Downloads", "Downloads", 50 << 20, "arrow.down.circle"},
        {"Desktop", "Desktop", 50 << 20, "menubar.dock.rectangle"},
        {"Developer", "Developer", 1048577, "hammer"},
    };
    EXPECT_EQ(listedCategories(rows), expected);
}

TEST(StorageLists, VolumesWithCapacityAndNameNeverTheRoot) {
    std::vector<VolumeDescription> volumes{
        {"/media/a/Small", "Small", 100, 10, false, true, false},
        {"/", "root", 5000, 100, true, false, true},            // the root file system
        {"/media/a/Nameless", "", 900, 1, true, false, false},  // no name
        {"/mnt/gone", "gone", std::nullopt, 0, true, false, false},
        {"/mnt/Big", "Big", 800, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    const QVector<VolumeInfo> expected{
        {"/mnt/Big", "Big", 800, 0, true, false},  // absent values: internal, not removable
        {"/media/a/Small", "Small", 100, 10, false, true},
    };
    EXPECT_EQ(listedVolumes(volumes), expected);
}

}  // namespace
