#include "providers/CPUProvider.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <vector>

namespace {

// Hands out scripted counters, one set per call; absent ticks once the script runs out.
class ScriptedCpuSource final : public CpuSource {
public:
    ScriptedCpuSource(CoreCounts counts, std::deque<CpuCounters> script)
        : counts_(counts), script_(std::move(script)) {}
    CoreCounts coreCounts() const override { return counts_; }
    CpuCounters readCounters() override {
        return next_ < script_.size() ? script_[next_++] : CpuCounters{};
    }

private:
    CoreCounts counts_;
    std::deque<CpuCounters> script_;
    std::size_t next_ = 0;
};

CpuCounters ticks(std::vector<CpuTickSet> sets) {
    return {.ticks = std::move(sets),
            .loadAverages = LoadAverages{1.5, 1.0, 0.5},
            .bootTimeSeconds = std::nullopt};
}

constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;

struct TickCase {
    const char* name;
    std::vector<CpuTickSet> before;
    std::vector<CpuTickSet> after;
    std::vector<double> perCore;
    double overall;
    double user;
    double system;
};

void PrintTo(const TickCase& c, std::ostream* out) {
    *out << c.name;
}

class CpuTickDeltaTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(CpuTickDeltaTest, FractionsFollowTheTickDeltas) {
    const TickCase& c = GetParam();
    FakeClock clock;
    CPUProvider provider(std::make_unique<ScriptedCpuSource>(
                             CoreCounts{}, std::deque{ticks(c.before), ticks(c.after)}),
                         clock);
    ASSERT_EQ(provider.sample(), CPUStats{}) << "the first call only keeps the ticks";
    const CPUStats stats = provider.sample();
    ASSERT_EQ(stats.perCore.size(), static_cast<qsizetype>(c.perCore.size()));
    for (std::size_t i = 0; i < c.perCore.size(); ++i) {
        EXPECT_DOUBLE_EQ(stats.perCore[static_cast<qsizetype>(i)], c.perCore[i]) << "core " << i;
    }
    EXPECT_DOUBLE_EQ(stats.overall, c.overall);
    EXPECT_DOUBLE_EQ(stats.userPercent, c.user);
    EXPECT_DOUBLE_EQ(stats.systemPercent, c.system);
}

// Tick sets: {cpu, user, system, idle, nice}.
INSTANTIATE_TEST_SUITE_P(
    CpuProvider, CpuTickDeltaTest,
    ::testing::Values(
        TickCase{"TwoBusyShares",
                 {{0, 100, 100, 100, 0}, {1, 0, 0, 0, 0}},
                 {{0, 130, 110, 160, 0}, {1, 50, 50, 0, 0}},
                 {0.4, 1.0},
                 0.7,
                 0.4,
                 0.3},
        TickCase{"CounterWrapsAround32Bits",
                 {{0, kMax32 - 9, 5, kMax32, 0}},
                 {{0, 10, 5, 19, 0}},  // user +20, idle +20
                 {0.5},
                 0.5,
                 0.5,
                 0.0},
        TickCase{"IdleCoreWithNoTicksAddsNothing",
                 {{0, 7, 7, 7, 7}, {1, 0, 0, 0, 0}},
                 {{0, 7, 7, 7, 7}, {1, 30, 0, 10, 0}},
                 {0.0, 0.75},
                 0.75,
                 0.75,
                 0.0},
        TickCase{
            "AllCoresWithoutTicks", {{0, 1, 2, 3, 4}}, {{0, 1, 2, 3, 4}}, {0.0}, 0.0, 0.0, 0.0},
        TickCase{"NiceIsBusyButNeitherUserNorSystem",
                 {{0, 0, 0, 0, 0}},
                 {{0, 0, 0, 25, 75}},
                 {0.75},
                 0.75,
                 0.0,
                 0.0},
        TickCase{"ProcessorAddedIsIgnoredUntilItHasHistory",
                 {{0, 0, 0, 0, 0}},
                 {{0, 10, 0, 10, 0}, {1, 99, 0, 1, 0}},
                 {0.5},
                 0.5,
                 0.5,
                 0.0},
        TickCase{"ProcessorRemovedShortensTheList",
                 {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {2, 0, 0, 0, 0}},
                 {{0, 10, 0, 10, 0}, {1, 20, 0, 0, 0}},
                 {0.5, 1.0},
                 0.75,
                 0.75,
                 0.0},
        TickCase{"MiddleProcessorOfflinePairsByNumber",
                 {{0, 0, 0, 0, 0}, {1, 500, 500, 500, 0}, {2, 1000, 0, 0, 0}},
                 {{0, 10, 0, 30, 0}, {2, 1000, 0, 40, 0}},
                 {0.25, 0.0},
                 0.125,
                 0.125,
                 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CpuProvider, FailedReadGivesTheEmptyRecordAndKeepsThePreviousTicks) {
    FakeClock clock;
    std::deque<CpuCounters> script{ticks({{0, 0, 0, 0, 0}}), CpuCounters{},
                                   ticks({{0, 40, 0, 60, 0}})};
    script[1].loadAverages = LoadAverages{9, 9, 9};
    script[1].bootTimeSeconds = 1;
    CPUProvider provider(std::make_unique<ScriptedCpuSource>(CoreCounts{4, 8}, script), clock);
    EXPECT_EQ(provider.sample(), CPUStats{});
    EXPECT_EQ(provider.sample(), CPUStats{}) << "load and uptime are dropped with the ticks";
    const CPUStats stats = provider.sample();
    EXPECT_DOUBLE_EQ(stats.overall, 0.4) << "compared against the ticks before the failure";
}

TEST(CpuProvider, FirstCallIsEmptyEvenWithCoreCounts) {
    FakeClock clock;
    CPUProvider provider(
        std::make_unique<ScriptedCpuSource>(CoreCounts{4, 8}, std::deque{ticks({{0, 1, 1, 1, 1}})}),
        clock);
    EXPECT_EQ(provider.sample(), CPUStats{});
}

TEST(CpuProvider, FillsCountsLoadAveragesAndUptime) {
    FakeClock clock;
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(clock.wallNow().time_since_epoch())
            .count();
    struct Case {
        std::optional<std::int64_t> bootTime;
        std::int64_t uptime;
    };
    for (const Case& c : {Case{now - 90061, 90061}, Case{std::nullopt, 0}, Case{now + 50, 0}}) {
        auto second = ticks({{0, 1, 1, 1, 1}});
        second.bootTimeSeconds = c.bootTime;
        CPUProvider provider(std::make_unique<ScriptedCpuSource>(
                                 CoreCounts{4, 8}, std::deque{ticks({{0, 0, 0, 0, 0}}), second}),
                             clock);
        provider.sample();
        const CPUStats stats = provider.sample();
        EXPECT_EQ(stats.uptimeSeconds, c.uptime);
        EXPECT_EQ(stats.efficiencyCores, 4);
        EXPECT_EQ(stats.performanceCores, 8);
        EXPECT_EQ(stats.loadAvg, (LoadAverages{1.5, 1.0, 0.5}));
    }
}

TEST(CpuProvider, UnreadableLoadAveragesAreZero) {
    FakeClock clock;
    auto second = ticks({{0, 1, 1, 1, 1}});
    second.loadAverages.reset();
    CPUProvider provider(std::make_unique<ScriptedCpuSource>(
                             CoreCounts{}, std::deque{ticks({{0, 0, 0, 0, 0}}), second}),
                         clock);
    provider.sample();
    EXPECT_EQ(provider.sample().loadAvg, LoadAverages{});
}

}  // namespace
