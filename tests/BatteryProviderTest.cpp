#include "providers/BatteryProvider.h"

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

TEST(BatteryProvider, NoPowerSourceIsTheNoBatteryRecordAndOnlyTheFirstCounts) {
    SmartBatteryProperties gauge;
    gauge.cycleCount = 100;
    EXPECT_EQ(sampleOf(PowerSupplyReading{{}, gauge}), BatteryStats{});

    PowerSourceDescription second = onBattery(90);
    second.isCharging = true;
    BatteryStats expected;  // a missing gauge still gives a battery
    expected.hasBattery = true;
    expected.percentage = 12;
    EXPECT_EQ(sampleOf({{onBattery(12), second}, std::nullopt}), expected);
}

TEST(BatteryProvider, ScalesTheChargeToPercent) {
    struct Row {
        std::optional<std::int64_t> current, maximum;
        int percentage;
    };
    const Row rows[] = {
        {4382, 5103, 85},  // 85.87 %: truncated
        {57, 0, 57},
        {57, -5, 57},
        {57, std::nullopt, 57},
        {std::nullopt, 100, 0},
        {std::int64_t{1} << 40, 1, 2147483647},  // pinned, never wrapped
    };
    for (const Row& row : rows) {
        PowerSourceDescription source = onBattery(0);
        source.currentCapacity = row.current;
        source.maxCapacity = row.maximum;
        EXPECT_EQ(sampleOf(readingOf(source, std::nullopt)).percentage, row.percentage)
            << row.current.value_or(-1) << " of " << row.maximum.value_or(-1);
    }
}

TEST(BatteryProvider, TakesTheTimeEstimateOfTheDirection) {
    struct Row {
        bool charging;
        std::optional<std::int64_t> toFull, toEmpty;
        int minutes;
    };
    const Row rows[] = {
        {true, 95, 300, 95}, {false, 95, 300, 300}, {true, {}, 300, -1},
        {false, 95, {}, -1}, {false, {}, -2, -2},  // held on the charger
    };
    for (const Row& row : rows) {
        PowerSourceDescription source = onBattery(50);
        source.isCharging = row.charging;
        source.timeToFullChargeMinutes = row.toFull;
        source.timeToEmptyMinutes = row.toEmpty;
        EXPECT_EQ(sampleOf(readingOf(source, std::nullopt)).timeRemainingMinutes, row.minutes)
            << row.charging << " " << row.toFull.value_or(-9) << " " << row.toEmpty.value_or(-9);
    }
}

TEST(BatteryProvider, DerivesHealthAndPowerFromTheGauge) {
    struct Row {
        const char* name;
        SmartBatteryProperties gauge;
        int healthPercent, maxCapacity;
        double voltage, watts;
    };
    const Row rows[] = {
        {"health truncated", {1, 5103, 4382, 9999, 0, 0}, 85, 4382, 0, 0},
        {"raw preferred over max", {1, 5103, std::nullopt, 4382, 0, 0}, 85, 4382, 0, 0},
        {"new battery capped at 100", {1, 5000, 5200, std::nullopt, 0, 0}, 100, 5200, 0, 0},
        {"design zero", {1, 0, 4382, std::nullopt, 0, 0}, -1, 4382, 0, 0},
        {"max zero", {1, 5103, 0, std::nullopt, 0, 0}, -1, 0, 0, 0},
        {"discharging", {1, 5103, 4382, std::nullopt, 12000, -1500}, 85, 4382, 12.0, 18.0},
        {"charging", {1, 5103, 4382, std::nullopt, 12000, 1500}, 85, 4382, 12.0, 18.0},
        {"negative voltage", {1, 5103, 4382, std::nullopt, -12000, -1500}, 85, 4382, -12.0, 0},
    };
    for (const Row& row : rows) {
        const BatteryStats battery = sampleOf(readingOf(onBattery(50), row.gauge));
        SCOPED_TRACE(row.name);
        EXPECT_EQ(battery.healthPercent, row.healthPercent);
        EXPECT_EQ(battery.currentMaxCapacityMAh, row.maxCapacity);
        EXPECT_DOUBLE_EQ(battery.voltage, row.voltage);
        EXPECT_DOUBLE_EQ(battery.currentWatts, row.watts);
    }
}

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

    source.powerSourceState.reset();
    EXPECT_FALSE(sampleOf(readingOf(source, std::nullopt)).isPluggedIn);
}

}  // namespace
