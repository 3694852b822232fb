#include "core/Clock.h"
#include "linux_io/KeptOpenFile.h"
#include "linux_monitor/LinuxProviders.h"
#include "platform/linux/cpu/CoreTopologyReader.h"
#include "platform/linux/cpu/CpuListParser.h"
#include "platform/linux/cpu/LinuxCpuSource.h"
#include "platform/linux/cpu/LoadAverageReader.h"
#include "platform/linux/cpu/ProcStatParser.h"
#include "platform/linux/cpu/ProcStatReader.h"
#include "providers/CpuProvider.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::filesystem::path kFixtures = std::filesystem::path(VANTREL_FIXTURES_DIR) / "cpu";

std::vector<int> cpuNumbers(const std::vector<CpuTickSet>& ticks) {
    std::vector<int> numbers;
    for (const CpuTickSet& set : ticks) {
        numbers.push_back(set.cpu);
    }
    return numbers;
}

TEST(CpuListParser, AcceptsTheKernelFormatAndRejectsGarbageWhole) {
    EXPECT_EQ(parseCpuList("0-3,8,10-11\n"), (std::vector<int>{0, 1, 2, 3, 8, 10, 11}));
    EXPECT_EQ(parseCpuList("3,1,1-2"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(parseCpuList("\n"), std::vector<int>{});
    for (const char* text : {"3-1", "1-", ",1", "1,,2", "1-2-3", "0x3", "1 2", "0-65536",
                             "99999999999", "+1", "1\n2"}) {
        EXPECT_EQ(parseCpuList(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(ProcStatParser, ToleratesOldAndDamagedLines) {
    const ProcStatContents contents = parseProcStat(
        "cpu  1 2 3 4\n"
        "cpu0 1 2 3 4\n"                             // a kernel before iowait: four counters
        "cpu1 1 2 3 4 5 6 7 8 9 10 11\n"             // one counter too many
        "cpu2  1 2 3 4 5 6 7 8\n"                    // doubled blank
        "cpu-3 1 2 3 4\n"                            // no such number
        "cpu4 18446744073709551615 0 0 0 0 0 0 0\n"  // the largest 64-bit value
        "btime 1700000000\n");
    ASSERT_EQ(contents.cpus.size(), 3u);
    EXPECT_EQ(contents.cpus[0], (ProcStatCpuLine{0, 1, 2, 3, 4, 0, 0, 0, 0}));
    EXPECT_EQ(contents.cpus[1], (ProcStatCpuLine{2, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(contents.cpus[2].user, 18446744073709551615u);
    EXPECT_EQ(contents.bootTimeSeconds, 1700000000);
    for (const char* text : {"btime -1\n", "btime 1 2\n", "btime\n", "btime 17"}) {
        EXPECT_EQ(parseProcStat(text).bootTimeSeconds, std::nullopt) << text;
    }
}

struct ProcStatCase {
    const char* fixture;
    std::vector<int> order;
    CpuTickSet first;  // the first tick set of the list
    std::optional<std::int64_t> bootTime;
};

TEST(ProcStatReader, ReadsEachFixture) {
    const std::vector<ProcStatCase> cases{
        // Efficiency cores 4-11 come before the performance cores 0-3.
        {"hybrid-intel",
         {4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 2, 3},
         {4, 124000, 41204, 922004, 304},
         1718000000},
        // Guest time stays inside user; steal, irq and softirq count as system.
        {"vm-steal", {0, 1}, {0, 387000, 140500, 3440600, 120}, 1796580824},
        {"cpu-offline", {0, 1, 3}, {0, 7000, 2020, 80040, 3}, 1720000000},
        // Only cpu0 and cpu4 are well formed; the repeated cpu0 and the cut-off cpu5 are not
        // taken, nor the bad btime.
        {"garbled-stat", {0, 4}, {0, 10, 22, 304, 1}, std::nullopt},
    };
    for (const ProcStatCase& c : cases) {
        const CoreTopology topology = readCoreTopology(kFixtures / c.fixture);
        ProcStatReader reader(kFixtures / c.fixture, topology.efficiencyCpus);
        const auto sample = reader.read();
        ASSERT_TRUE(sample) << c.fixture;
        EXPECT_EQ(cpuNumbers(sample->ticks), c.order) << c.fixture;
        EXPECT_EQ(sample->ticks.front(), c.first) << c.fixture;
        EXPECT_EQ(sample->bootTimeSeconds, c.bootTime) << c.fixture;
    }
}

TEST(ProcStatReader, MissingOrEmptyFileIsAbsent) {
    const FixtureTree tree;
    ProcStatReader reader(tree.root());
    EXPECT_FALSE(reader.read());
    tree.write("proc/stat", "btime 1\n");
    EXPECT_FALSE(reader.read()) << "no processor line";
}

TEST(ProcStatReader, KeepsIdleMonotonicAndTruncatesTo32Bits) {
    const FixtureTree tree;
    ProcStatReader reader(tree.root());
    // user nice system idle iowait; the user count is past 2^32.
    const std::vector<std::pair<std::string, std::uint32_t>> steps{
        {"cpu0 4294967301 0 0 1000 500\n", 1500},
        {"cpu0 4294967301 0 0 1000 400\n", 1500},  // iowait went back: held
        {"cpu0 4294967301 0 0 1100 400\n", 1500},  // still below the high-water mark
        {"cpu0 4294967301 0 0 1200 400\n", 1600},
    };
    for (const auto& [line, idle] : steps) {
        tree.write("proc/stat", line);
        const auto sample = reader.read();
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->ticks.at(0).idle, idle) << line;
        EXPECT_EQ(sample->ticks.at(0).user, 5u);
    }
}

TEST(CoreTopologyReader, FindsCoreKindsOnEachFixture) {
    const std::vector<std::pair<const char*, CoreTopology>> cases{
        {"hybrid-intel", {{8, 4}, {4, 5, 6, 7, 8, 9, 10, 11}}},
        {"arm-big-little", {{4, 2}, {0, 1, 2, 3}}},
        // Every cluster below the highest capacity counts as efficiency.
        {"arm-three-clusters", {{7, 1}, {0, 1, 2, 3, 4, 5, 7}}},
        {"arm-uniform-capacity", {{0, 0}, {}}},
        {"desktop", {{0, 0}, {}}},
        {"no-such-fixture", {{0, 0}, {}}},
    };
    for (const auto& [fixture, topology] : cases) {
        EXPECT_EQ(readCoreTopology(kFixtures / fixture), topology) << fixture;
    }
}

TEST(CoreTopologyReader, UnreadableHybridListCountsZero) {
    const FixtureTree tree;
    tree.write("sys/devices/cpu_atom/cpus", "4-x\n");
    tree.write("sys/devices/cpu_core/cpus", "0-3\n");
    EXPECT_EQ(readCoreTopology(tree.root()), (CoreTopology{{0, 4}, {}}));
}

TEST(LoadAverages, ParsesTheLoadavgLine) {
    EXPECT_EQ(parseLoadAverages("0.06 0.16 2.02 1/116 4889\n"), (LoadAverages{0.06, 0.16, 2.02}));
    EXPECT_EQ(parseLoadAverages("12 0.5 0.25\n"), (LoadAverages{12, 0.5, 0.25}));
    for (const char* text : {"", "0.1 0.2\n", "0.1 0.2 0.3", "nan 0.2 0.3 1/2 3\n",
                             "-1 0 0 1/2 3\n", "0,5 0 0 1/2 3\n"}) {
        EXPECT_EQ(parseLoadAverages(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(LinuxCpuSource, ProviderOnFixtureMatchesThePerCoreOrder) {
    SystemClock clock;
    auto provider = makeLinuxCpuProvider(clock, kFixtures / "hybrid-intel");
    EXPECT_EQ(provider->sample(), CpuStats{});
    const CpuStats stats = provider->sample();  // the same file again: nothing moved
    EXPECT_EQ(stats.perCore.size(), 12);
    EXPECT_EQ(stats.efficiencyCores, 8);
    EXPECT_EQ(stats.performanceCores, 4);
    EXPECT_EQ(stats.loadAvg, (LoadAverages{1.52, 0.98, 0.61}));
}

}  // namespace
