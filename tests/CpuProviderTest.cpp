#include "providers/CpuProvider.h"
#include "support/FakeClock.h"

#include <gmock/gmock.h>
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

TEST(CpuProvider, FractionsFollowTheTickDeltas) {
    struct Row {
        const char* name;
        std::vector<CpuTickSet> before, after;  // {cpu, user, system, idle, nice}
        std::vector<double> fractions;          // overall, user, system, then each core
    };
    const Row rows[] = {
        {"two busy shares",
         {{0, 100, 100, 100, 0}, {1, 0, 0, 0, 0}},
         {{0, 130, 110, 160, 0}, {1, 50, 50, 0, 0}},
         {0.7, 0.4, 0.3, 0.4, 1.0}},
        {"32-bit wrap", {{0, kMax32 - 9, 5, kMax32, 0}}, {{0, 10, 5, 19, 0}}, {.5, .5, 0, .5}},
        {"a core without ticks adds nothing",
         {{0, 7, 7, 7, 7}, {1, 0, 0, 0, 0}},
         {{0, 7, 7, 7, 7}, {1, 30, 0, 10, 0}},
         {0.75, 0.75, 0, 0, 0.75}},
        {"nice is busy, not user", {{0, 0, 0, 0, 0}}, {{0, 0, 0, 25, 75}}, {.75, 0, 0, .75}},
        {"an added processor waits for its history",
         {{0, 0, 0, 0, 0}},
         {{0, 10, 0, 10, 0}, {1, 99, 0, 1, 0}},
         {0.5, 0.5, 0, 0.5}},
        {"a middle processor offline: pairs by number",
         {{0, 0, 0, 0, 0}, {1, 500, 500, 500, 0}, {2, 1000, 0, 0, 0}},
         {{0, 10, 0, 30, 0}, {2, 1000, 0, 40, 0}},
         {0.125, 0.125, 0, 0.25, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeClock clock;
        CpuProvider provider(std::make_unique<ScriptedCpuSource>(
                                 CoreCounts{4, 8}, std::deque{ticks(row.before), ticks(row.after)}),
                             clock);
        ASSERT_EQ(provider.sample(), CpuStats{}) << "the first call only keeps the ticks";
        const CpuStats stats = provider.sample();
        std::vector<double> fractions{stats.overall, stats.userPercent, stats.systemPercent};
        fractions.insert(fractions.end(), stats.perCore.begin(), stats.perCore.end());
        EXPECT_THAT(fractions, testing::Pointwise(testing::DoubleEq(), row.fractions));
    }
}

TEST(CpuProvider, FailedReadGivesTheEmptyRecordAndKeepsThePreviousTicks) {
    FakeClock clock;
    std::deque<CpuCounters> script{ticks({{0, 0, 0, 0, 0}}), CpuCounters{},
                                   ticks({{0, 40, 0, 60, 0}})};
    script[1].loadAverages = LoadAverages{9, 9, 9};
    script[1].bootTimeSeconds = 1;
    CpuProvider provider(std::make_unique<ScriptedCpuSource>(CoreCounts{4, 8}, script), clock);
    EXPECT_EQ(provider.sample(), CpuStats{});
    EXPECT_EQ(provider.sample(), CpuStats{}) << "load and uptime are dropped with the ticks";
    const CpuStats stats = provider.sample();
    EXPECT_DOUBLE_EQ(stats.overall, 0.4) << "compared against the ticks before the failure";
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
        if (!c.bootTime) {
            second.loadAverages.reset();  // unreadable: zero, like the uptime
        }
        CpuProvider provider(std::make_unique<ScriptedCpuSource>(
                                 CoreCounts{4, 8}, std::deque{ticks({{0, 0, 0, 0, 0}}), second}),
                             clock);
        provider.sample();
        const CpuStats stats = provider.sample();
        EXPECT_EQ(stats.uptimeSeconds, c.uptime);
        EXPECT_EQ(stats.efficiencyCores, 4);
        EXPECT_EQ(stats.performanceCores, 8);
        EXPECT_EQ(stats.loadAvg, (c.bootTime ? LoadAverages{1.5, 1.0, 0.5} : LoadAverages{}));
    }
}

}  // namespace
