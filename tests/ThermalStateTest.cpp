#include "linux_monitor/LinuxThermalStateReader.h"
#include "platform/linux/thermal/HwmonTemperatureReader.h"
#include "platform/linux/thermal/ThermalZoneReader.h"
#include "platform/linux/thermal/ThrottleCounterReader.h"
#include "providers/ThermalLevel.h"
#include "providers/ThermalStateTracker.h"
#include "support/FakeClock.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const std::filesystem::path kFixtures = std::filesystem::path(VANTREL_FIXTURES_DIR) / "thermal";

constexpr auto N = ThermalState::nominal;
constexpr auto F = ThermalState::fair;
constexpr auto S = ThermalState::serious;
constexpr auto C = ThermalState::critical;

TEST(ThermalZoneReader, ReadsEnabledZonesWithUsableTrips) {
    using T = TripKind;
    const std::vector<std::pair<std::string, std::vector<ThermalZoneReading>>> cases{
        {"laptop-thermal-zones",
         {
             {0, "acpitz", 52.0, {{T::critical, 103.0}}},
             // x86_pkg_temp's unset trips read 0: dropped.
             {1, "x86_pkg_temp", 61.0, {}},
             // iwlwifi_1 is disabled; SEN1 has no readable temperature.
             {3,
              "TCPU",
              72.5,
              {{T::critical, 105.0}, {T::hot, 100.0}, {T::passive, 95.0}, {T::active, 70.0}}},
             {5, "pch_cannonlake", 48.0, {{T::critical, 115.0}}},
         }},
        {"amd-laptop-apu", {{0, "acpitz", 43.0, {{T::critical, 110.0}, {T::passive, 100.0}}}}},
        {"arm-sbc",
         {
             {0,
              "cpu-thermal",
              62.5,
              {{T::passive, 70.0}, {T::passive, 75.0}, {T::critical, 95.0}}},
             {1, "gpu-thermal", 55.0, {{T::passive, 75.0}, {T::critical, 95.0}}},
         }},
    };
    for (const auto& [fixture, expected] : cases) {
        EXPECT_EQ(ThermalZoneReader(kFixtures / fixture).read(), expected) << fixture;
    }
}

TEST(HwmonTemperatureReader, ReadsLimitedSensorsOfAwakeChips) {
    const std::vector<std::pair<std::string, std::vector<HwmonTemperature>>> cases{
        // amdgpu is runtime-suspended and BAT0 has no limits: neither is read.
        {"laptop-thermal-zones",
         {
             {"acpitz", "temp1", 52.0, std::nullopt, 103.0},
             {"coretemp", "temp1", 62.0, 100.0, 100.0},
             {"coretemp", "temp2", 60.0, 100.0, 100.0},
             {"nvme", "temp1", 38.85, 81.85, 84.85},
             {"nvme", "temp2", 38.85, 65261.85, std::nullopt},
         }},
        // k10temp and the APU's amdgpu give no limits.
        {"amd-laptop-apu",
         {
             {"acpitz", "temp1", 43.0, std::nullopt, 110.0},
             {"nvme", "temp1", 33.85, 81.85, 84.85},
         }},
        {"arm-sbc",
         {
             {"cpu_thermal", "temp1", 62.5, std::nullopt, 95.0},
             {"gpu_thermal", "temp1", 55.0, std::nullopt, 95.0},
         }},
    };
    for (const auto& [fixture, expected] : cases) {
        EXPECT_EQ(HwmonTemperatureReader(kFixtures / fixture).read(), expected) << fixture;
    }
}

TEST(ThrottleCounterReader, ReadsEachCoreAndPackageOnce) {
    ThrottleCounterReader reader(kFixtures / "throttling-package");
    const std::vector<ThrottleCounter> expected{
        {"package0", 25, 1500},
        {"package0-core0", 12, 480},
        {"package0-core1", 3, 90},
    };
    EXPECT_EQ(reader.read(), expected);
}

TEST(ThrottleCounterReader, FallsBackToAnotherProcessorOfThePackage) {
    const FixtureTree tree("thermal/throttling-package");
    ThrottleCounterReader reader(tree.root());
    // cpu0 goes offline: its thermal_throttle folder disappears.
    std::filesystem::remove_all(tree.root() / "sys/devices/system/cpu/cpu0/thermal_throttle");
    const auto counters = reader.read();
    ASSERT_EQ(counters.size(), 3u);
    EXPECT_EQ(counters[0], (ThrottleCounter{"package0", 25, 1500}));
    EXPECT_EQ(counters[1], (ThrottleCounter{"package0-core0", 12, 480})) << "from cpu2";
}

TEST(ThermalReaders, EmptyTreeGivesNothingAndNominal) {
    const auto root = kFixtures / "no-such-fixture";
    EXPECT_TRUE(ThermalZoneReader(root).read().empty());
    EXPECT_TRUE(ThrottleCounterReader(root).read().empty());
    EXPECT_TRUE(HwmonTemperatureReader(root).read().empty());
    FakeClock clock;
    LinuxThermalStateReader reader(clock, root);
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_EQ(reader.read(), N);
        clock.advance(seconds(2));
    }
}

ThermalZoneReading zone(double celsius, TripKind kind, double trip) {
    return {0, "zone", celsius, {{kind, trip}}};
}

HwmonTemperature sensor(double celsius, std::optional<double> max, std::optional<double> crit) {
    return {"chip", "temp1", celsius, max, crit};
}

TEST(ThermalLevel, ClassifiesTemperaturesAgainstTheirLimits) {
    struct Case {
        const char* what;
        ThermalReadings readings;
        ThermalState level;
    };
    const std::vector<Case> cases{
        {"nothing known", {}, N},
        {"at hot trip", {{zone(90, TripKind::hot, 90)}, {}, {}}, C},
        {"below hot trip", {{zone(89.9, TripKind::hot, 90)}, {}, {}}, N},
        {"5 below critical", {{zone(95, TripKind::critical, 100)}, {}, {}}, C},
        {"just over 5 below critical", {{zone(94.9, TripKind::critical, 100)}, {}, {}}, N},
        {"at passive", {{zone(80, TripKind::passive, 80)}, {}, {}}, S},
        {"10 below passive", {{zone(70, TripKind::passive, 80)}, {}, {}}, F},
        {"more than 10 below passive", {{zone(69.9, TripKind::passive, 80)}, {}, {}}, N},
        {"at active", {{zone(50, TripKind::active, 50)}, {}, {}}, F},
        {"below active", {{zone(49, TripKind::active, 50)}, {}, {}}, N},
        {"worst zone wins",
         {{zone(50, TripKind::active, 50), zone(80, TripKind::passive, 80)}, {}, {}},
         S},
        {"sensor near crit", {{}, {}, {sensor(95, std::nullopt, 100)}}, C},
        {"sensor at max", {{}, {}, {sensor(80, 80, std::nullopt)}}, S},
        {"sensor 10 below max", {{}, {}, {sensor(70, 80, 110)}}, F},
        {"sensor cool", {{}, {}, {sensor(40, 80, 100)}}, N},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(temperatureLevel(c.readings), c.level) << c.what;
    }
}

ThermalReadings throttled(std::uint64_t events, std::uint64_t ms) {
    return {{}, {{"package0", events, ms}}, {}};
}

ThermalReadings hot(ThermalState level) {
    switch (level) {
        case ThermalState::critical:
            return {{zone(100, TripKind::hot, 100)}, {}, {}};
        case ThermalState::serious:
            return {{zone(80, TripKind::passive, 80)}, {}, {}};
        case ThermalState::fair:
            return {{zone(50, TripKind::active, 50)}, {}, {}};
        case ThermalState::nominal:
            break;
    }
    return {};
}

// One update every 2 s of virtual time, with what each should give.
struct Step {
    ThermalReadings readings;
    ThermalState state;
};

void runEvery2Seconds(const std::vector<Step>& steps) {
    FakeClock clock;
    ThermalStateTracker tracker(clock);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(tracker.update(steps[i].readings), steps[i].state)
            << "at " << clock.elapsedSeconds() << " s";
        clock.advance(seconds(2));
    }
}

TEST(ThermalStateTracker, RisesAtOnceAndFallsOnlyAfter30SecondsBelow) {
    std::vector<Step> steps{{hot(C), C}};
    for (int t = 2; t < 30; t += 2) {
        steps.push_back({hot(N), C});
    }
    steps.push_back({hot(N), N});  // 30 s after the last critical reading
    steps.push_back({hot(S), S});
    runEvery2Seconds(steps);
}

TEST(ThermalStateTracker, StepsDownThroughTheLevelsSeenMeanwhile) {
    std::vector<Step> steps{{hot(C), C}};
    for (int t = 2; t <= 10; t += 2) {
        steps.push_back({hot(S), C});  // serious until 10 s
    }
    for (int t = 12; t < 30; t += 2) {
        steps.push_back({hot(N), C});
    }
    for (int t = 30; t < 40; t += 2) {
        steps.push_back({hot(N), S});  // critical gone, serious seen 10 s ago
    }
    steps.push_back({hot(N), N});
    runEvery2Seconds(steps);
}

TEST(ThermalStateTracker, ThrottledShareOfTheIntervalSetsTheLevel) {
    struct Case {
        std::uint64_t throttledMs;  // during a 2 s interval
        ThermalState level;
    };
    for (const Case& c : {Case{1000, C}, Case{999, S}, Case{200, S}, Case{199, F}, Case{0, N}}) {
        FakeClock clock;
        ThermalStateTracker tracker(clock);
        tracker.update(throttled(7, 5000));
        clock.advance(seconds(2));
        tracker.update(throttled(c.throttledMs > 0 ? 8 : 7, 5000 + c.throttledMs));
        EXPECT_EQ(tracker.lastLevel(), c.level) << c.throttledMs << " ms";
    }
}

TEST(ThermalStateTracker, OneThrottleEventCountsForSixtySeconds) {
    FakeClock clock;
    ThermalStateTracker tracker(clock);
    tracker.update(throttled(3, 100));
    EXPECT_EQ(tracker.lastLevel(), N) << "counts from before the first update are history";
    clock.advance(seconds(2));
    tracker.update(throttled(4, 100));  // one event, no time worth counting
    EXPECT_EQ(tracker.lastLevel(), F);
    clock.advance(milliseconds(59'999));
    tracker.update(throttled(4, 100));
    EXPECT_EQ(tracker.lastLevel(), F);
    clock.advance(milliseconds(1));
    tracker.update(throttled(4, 100));
    EXPECT_EQ(tracker.lastLevel(), N) << "60 s after the event";
    EXPECT_EQ(tracker.state(), F) << "still held for the step-down delay";
    clock.advance(seconds(30));
    EXPECT_EQ(tracker.update(throttled(4, 100)), N);
}

TEST(ThermalStateTracker, CountersThatRestartOrAppearAreNotEvents) {
    FakeClock clock;
    ThermalStateTracker tracker(clock);
    tracker.update(throttled(50, 9000));
    clock.advance(seconds(2));
    tracker.update(throttled(0, 0));  // reset, as when a processor comes back online
    EXPECT_EQ(tracker.lastLevel(), N);
    clock.advance(seconds(2));
    tracker.update({{}, {{"package0", 0, 0}, {"package1", 10, 5000}}, {}});
    EXPECT_EQ(tracker.lastLevel(), N) << "package1 has no earlier reading";
    clock.advance(seconds(2));
    tracker.update({{}, {{"package0", 1, 0}, {"package1", 10, 5000}}, {}});
    EXPECT_EQ(tracker.lastLevel(), F) << "but counts from the next one on";
}

TEST(ThermalStateTracker, NoElapsedTimeGivesNoShare) {
    FakeClock clock;
    ThermalStateTracker tracker(clock);
    tracker.update(throttled(1, 0));
    tracker.update(throttled(2, 5000));
    EXPECT_EQ(tracker.lastLevel(), F) << "an event, but no interval to divide by";
}

TEST(LinuxThermalStateReader, ThrottlingPackageOnARewrittenTree) {
    const FixtureTree tree("thermal/throttling-package");
    const std::filesystem::path package = "sys/devices/system/cpu/cpu0/thermal_throttle";
    FakeClock clock;
    LinuxThermalStateReader reader(clock, tree.root());
    EXPECT_EQ(reader.read(), N);
    clock.advance(seconds(2));
    tree.write(package / "package_throttle_count", "26\n");
    tree.write(package / "package_throttle_total_time_ms", "2500\n");  // 1 s of 2
    EXPECT_EQ(reader.read(), C);
    clock.advance(seconds(30));
    EXPECT_EQ(reader.read(), F) << "a throttle event within the last 60 s";
    clock.advance(seconds(60));
    EXPECT_EQ(reader.read(), N);
}

TEST(LinuxThermalStateReader, FixtureMachinesGiveTheirLevels) {
    const struct {
        const char* fixture;
        ThermalState level;
        const char* why;
    } cases[] = {
        {"laptop-thermal-zones", F, "TCPU at 72.5 °C is past its 70 °C fan trip"},
        {"amd-laptop-apu", N, "acpitz at 43 °C is far from its trips"},
        {"arm-sbc", F, "cpu-thermal at 62.5 °C is within 10 °C of its 70 °C passive trip"},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        LinuxThermalStateReader reader(clock, kFixtures / c.fixture);
        EXPECT_EQ(reader.read(), c.level) << c.fixture << ": " << c.why;
    }
}

}  // namespace
