#include "linux_io/KeptOpenFile.h"
#include "platform/linux/memory/LinuxMemorySource.h"
#include "platform/linux/memory/MeminfoReader.h"
#include "platform/linux/memory/VmstatReader.h"
#include "platform/linux/memory/ZramReader.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::filesystem::path kFixtures = kFixturesDir / "memory";
constexpr std::uint64_t kPageSize = 4096;

TEST(LinuxMemorySource, ReadsTheCountersOfEachFixture) {
    // Expected figures worked out by hand from each fixture (KiB / 4 for 4 KiB pages).
    const std::pair<const char*, MemoryCounters> cases[] = {
        // wired = MemTotal - MemAvailable - anonymous - compressed where that exceeds
        // Unevictable+SUnreclaim+KernelStack+PageTables+SecPageTables+Percpu.
        {"desktop-swap",
         {16710053888, 570255, 1705706, 0, 1328854, 473305, 183427, 398112, 8589930496,
          1288368128}},
        // compressed = Zswap 923412 KiB.
        {"zswap-active",
         {33341566976, 818099, 6058875, 230853, 1003642, 153210, 2841177, 173944, 17179865088,
          3210141696}},
        // Zswap 0 beside two zram devices: compressed = 402655321 + 9438211 bytes, rounded
        // up to whole pages.
        {"zram-swap",
         {8012115968, 223732, 1106167, 100609, 481611, 77806, 412337, 702214, 8012165120,
          1609097216}},
        // An unused zram device holds nothing; no swap at all.
        {"no-swap", {25276182528, 80596, 1804, 0, 82338, 6049682, 1376, 0, 0, 0}},
        // No SecPageTables, Percpu or Zswap lines.
        {"old-kernel",
         {8201363456, 245841, 953325, 0, 750095, 100529, 98231, 61844, 2147479552, 217841664}},
        // Cut inside the SwapFree number: the cut line and everything after it are unknown,
        // so wired rests on MemAvailable and swap is not guessed from SwapTotal.
        {"truncated-meminfo",
         {16710053888, 570255, 1705706, 0, 1328854, 473305, 183427, 398112, 0, 0}},
        {"no-vmstat", {25276182528, 80596, 1804, 0, 82338, 6049682, 0, 0, 0, 0}},
    };
    for (const auto& [name, expected] : cases) {
        LinuxMemorySource source(kFixtures / name, kPageSize);
        EXPECT_EQ(source.read(), expected) << name;
        EXPECT_EQ(source.read(), expected) << name << ", read again through the kept files";
    }
}

TEST(MemoryFixtureFailures, NoUsableMemTotalIsAFailedRead) {
    for (const char* name : {"garbled-meminfo", "does-not-exist"}) {
        LinuxMemorySource source(kFixtures / name, kPageSize);
        EXPECT_EQ(source.read(), std::nullopt) << name;
    }
}

using MeminfoLine = std::pair<std::optional<std::uint64_t> MeminfoFigures::*, std::uint64_t>;

MeminfoFigures figuresWith(std::initializer_list<MeminfoLine> lines) {
    MeminfoFigures figures;
    for (const auto& [field, kib] : lines) {
        figures.*field = kib;
    }
    return figures;
}

TEST(MeminfoParserTest, TakesWantedLinesInAnyOrderAndDistrustsBadOnes) {
    struct Case {
        const char* text;
        MeminfoFigures expected;
    };
    const Case cases[] = {
        {"SwapFree:  8 kB\nMemFree:  4 kB\nMemTotal:  16 kB\n",
         figuresWith({{&MeminfoFigures::memTotal, 16},
                      {&MeminfoFigures::memFree, 4},
                      {&MeminfoFigures::swapFree, 8}})},
        // A last line without its newline may be cut short.
        {"MemTotal:  16 kB\nMemFree:  4", figuresWith({{&MeminfoFigures::memTotal, 16}})},
        {"MemTotal:  16kB\nMemFree: -4 kB\nPercpu: x\nZswap:\n", {}},
        // Too large for any machine: garbage.
        {"MemTotal:  18446744073709551615 kB\n", {}},
        // Names that only start like a wanted one.
        {"Active:  5 kB\nMemTotalX:  7 kB\nActive(anon):  3 kB\n",
         figuresWith({{&MeminfoFigures::activeAnon, 3}})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseMeminfo(c.text), c.expected) << c.text;
    }
}

TEST(VmstatParserTest, ReadsMajorFaultsAndSwapOuts) {
    struct Case {
        const char* text;
        PagingCounters expected;
    };
    const Case cases[] = {
        {"pgpgin 900\npswpout 7\npgpgout 800\npgmajfault 12\n", {12, 7}},
        {"pswpout 7\npgmajfault 1", {0, 7}},
        {"pswpoutx 7\npgmajfault abc\n", {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseVmstat(c.text), c.expected) << c.text;
    }
}

TEST(ZramParserTest, TakesTheSecondFieldWhenComplete) {
    struct Case {
        const char* text;
        std::optional<std::uint64_t> expected;
    };
    const Case cases[] = {
        {"1598062592 402655321 418930688 0 512122880 14211 3022 2045 5873\n", 402655321},
        {"1598062592 4026", std::nullopt},
        {"1598062592\n", std::nullopt},
        {"1 two 3\n", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseZramCompressedBytes(c.text), c.expected) << c.text;
    }
}

TEST(KeptOpenFileTest, RereadsFromTheStartAndGrowsForLargeFiles) {
    const FixtureTree tree;
    KeptOpenFile file((tree.root() / "counters").string());

    EXPECT_EQ(file.read(), std::nullopt);
    tree.write("counters", "first\n");
    EXPECT_EQ(file.read(), "first\n");

    // Rewritten in place: the same descriptor sees the new, longer content from offset 0.
    const std::string large(10000, 'x');
    tree.write("counters", large);
    EXPECT_EQ(file.read(), large);
    tree.write("counters", "short\n");
    EXPECT_EQ(file.read(), "short\n");
}

}  // namespace
