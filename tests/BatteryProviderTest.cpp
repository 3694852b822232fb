#include "providers/BatteryProvider.h"
#include "support/BatteryPrinters.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class FixedPowerSupply final : public PowerSupplySource {
public:
    explicit FixedPowerSupply(PowerSupplyReading reading) : reading_(std::move(reading)) {}
    PowerSupplyReading read() override { return reading_; }

private:
    PowerSupplyReading reading_;
};

BatteryStats sampleOf(PowerSupplyReading reading) {
    BatteryProvider provider(std::make_unique<FixedPowerSupply>(std::move(reading)));
    return provider.sample();
}

PowerSourceDescription onBattery(std::int64_t current) {
    PowerSourceDescription source;
    source.currentCapacity = current;
    source.maxCapacity = 100;
    source.isCharging = false;
    source.powerSourceState = std::string(kBatteryPowerState);
    return source;
}

PowerSupplyReading readingOf(PowerSourceDescription source,
                             std::optional<SmartBatteryProperties> gauge) {
    return {{std::move(source)}, gauge};
}

TEST(BatteryProvider, NoPowerSourceIsTheNoBatteryRecord) {
    SmartBatteryProperties gauge;
    gauge.cycleCount = 100;
    for (const auto& reading : {PowerSupplyReading{}, PowerSupplyReading{{}, gauge}}) {
        EXPECT_EQ(sampleOf(reading), BatteryStats{});
    }
}

TEST(BatteryProvider, OnlyTheFirstPowerSourceCounts) {
    PowerSourceDescription ups = onBattery(12);
    PowerSourceDescription second = onBattery(90);
    second.isCharging = true;
    const BatteryStats battery = sampleOf({{ups, second}, std::nullopt});
    EXPECT_EQ(battery.percentage, 12);
    EXPECT_FALSE(battery.isCharging);
}

TEST(BatteryProvider, AMissingGaugeStillGivesABattery) {
    const BatteryStats battery = sampleOf(readingOf(onBattery(57), std::nullopt));
    BatteryStats expected;
    expected.hasBattery = true;
    expected.percentage = 57;
    EXPECT_EQ(battery, expected);
}

struct PercentCase {
    const char* name;
    std::optional<std::int64_t> current;
    std::optional<std::int64_t> maximum;
    int percentage;
    friend void PrintTo(const PercentCase& row, std::ostream* out) { *out << row.name; }
};

class PercentageTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentageTest, ScalesTheChargeToPercent) {
    PowerSourceDescription source = onBattery(0);
    source.currentCapacity = GetParam().current;
    source.maxCapacity = GetParam().maximum;
    EXPECT_EQ(sampleOf(readingOf(source, std::nullopt)).percentage, GetParam().percentage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentageTest,
    ::testing::Values(PercentCase{"percentScale", 57, 100, 57},
                      // 4382 of 5103 is 85.87 %: truncated.
                      PercentCase{"milliampHourScale", 4382, 5103, 85},
                      PercentCase{"maxZeroKeepsCurrent", 57, 0, 57},
                      PercentCase{"maxNegativeKeepsCurrent", 57, -5, 57},
                      PercentCase{"maxAbsentMeansPercent", 57, std::nullopt, 57},
                      PercentCase{"currentAbsentIsZero", std::nullopt, 100, 0},
                      // Garbage beyond the integer range is pinned, never wrapped.
                      PercentCase{"hugeCurrent", std::int64_t{1} << 40, 1, 2147483647}),
    [](const auto& info) { return std::string(info.param.name); });

struct TimeCase {
    const char* name;
    bool charging;
    std::optional<std::int64_t> toFull;
    std::optional<std::int64_t> toEmpty;
    int minutes;
    friend void PrintTo(const TimeCase& row, std::ostream* out) { *out << row.name; }
};

class TimeRemainingTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeRemainingTest, TakesTheEstimateOfTheDirection) {
    PowerSourceDescription source = onBattery(50);
    source.isCharging = GetParam().charging;
    source.timeToFullChargeMinutes = GetParam().toFull;
    source.timeToEmptyMinutes = GetParam().toEmpty;
    EXPECT_EQ(sampleOf(readingOf(source, std::nullopt)).timeRemainingMinutes, GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeRemainingTest,
                         ::testing::Values(TimeCase{"chargingTakesToFull", true, 95, 300, 95},
                                           TimeCase{"dischargingTakesToEmpty", false, 95, 300, 300},
                                           TimeCase{"chargingWithoutToFull", true, {}, 300, -1},
                                           TimeCase{"dischargingWithoutToEmpty", false, 95, {}, -1},
                                           TimeCase{"heldOnCharger", false, {}, -2, -2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct GaugeCase {
    const char* name;
    SmartBatteryProperties gauge;
    int healthPercent;
    int maxCapacity;
    double voltage;
    double watts;
    friend void PrintTo(const GaugeCase& row, std::ostream* out) { *out << row.name; }
};

class GaugeTest : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(GaugeTest, DerivesHealthAndPower) {
    const BatteryStats battery = sampleOf(readingOf(onBattery(50), GetParam().gauge));
    EXPECT_EQ(battery.healthPercent, GetParam().healthPercent);
    EXPECT_EQ(battery.currentMaxCapacityMAh, GetParam().maxCapacity);
    EXPECT_DOUBLE_EQ(battery.voltage, GetParam().voltage);
    EXPECT_DOUBLE_EQ(battery.currentWatts, GetParam().watts);
    EXPECT_GE(battery.currentWatts, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GaugeTest,
    ::testing::Values(
        // 4382 x 100 / 5103 = 85.87: truncated, not rounded.
        GaugeCase{"healthTruncated", {1, 5103, 4382, 9999, 0, 0}, 85, 4382, 0, 0},
        GaugeCase{"rawPreferredOverMax", {1, 5103, std::nullopt, 4382, 0, 0}, 85, 4382, 0, 0},
        // A new pack above its design capacity is 100 %, never more.
        GaugeCase{"newBatteryCappedAt100", {1, 5000, 5200, std::nullopt, 0, 0}, 100, 5200, 0, 0},
        GaugeCase{"designUnknown", {1, std::nullopt, 4382, std::nullopt, 0, 0}, -1, 4382, 0, 0},
        GaugeCase{"designZero", {1, 0, 4382, std::nullopt, 0, 0}, -1, 4382, 0, 0},
        GaugeCase{"maxZero", {1, 5103, 0, std::nullopt, 0, 0}, -1, 0, 0, 0},
        // 12 V x 1.5 A whichever way the current flows.
        GaugeCase{"discharging", {1, 5103, 4382, std::nullopt, 12000, -1500}, 85, 4382, 12.0, 18.0},
        GaugeCase{"charging", {1, 5103, 4382, std::nullopt, 12000, 1500}, 85, 4382, 12.0, 18.0},
        // No voltage, no power, even with a current.
        GaugeCase{"noVoltage", {1, 5103, 4382, std::nullopt, 0, -1500}, 85, 4382, 0, 0},
        GaugeCase{
            "negativeVoltage", {1, 5103, 4382, std::nullopt, -12000, -1500}, 85, 4382, -12.0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatteryProvider, CopiesStateAndCondition) {
    PowerSourceDescription source = onBattery(80);
    source.isCharging = true;
    source.powerSourceState = std::string(kACPowerState);
    source.batteryHealth = "Overheat";
    const BatteryStats battery =
        sampleOf(readingOf(source, SmartBatteryProperties{312, 5103, 4382, {}, 12000, 1500}));
    EXPECT_TRUE(battery.hasBattery);
    EXPECT_TRUE(battery.isCharging);
    EXPECT_TRUE(battery.isPluggedIn);
    EXPECT_EQ(battery.condition, "Overheat");
    EXPECT_EQ(battery.cycleCount, 312);
    EXPECT_EQ(battery.designCapacityMAh, 5103);

    source.powerSourceState = "Battery Power";
    EXPECT_FALSE(sampleOf(readingOf(source, std::nullopt)).isPluggedIn);
    source.powerSourceState.reset();
    EXPECT_FALSE(sampleOf(readingOf(source, std::nullopt)).isPluggedIn);
}

}  // namespace
