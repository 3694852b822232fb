#include "helper/SensorCollector.h"
#include "support/FakeSmc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

TEST(SensorCollector, EmptySmcGivesTheAbsentRecordAfterTryingEveryKey) {
    FakeSmcReader fake;
    const SensorReading reading = SensorCollector(fake.reader).collect();
    EXPECT_EQ(reading, SensorReading{});
    EXPECT_EQ(reading.cpuTempCelsius, -1.0);
    EXPECT_EQ(reading.fanCount, 0);

    // Every list in row order, then the fan count.
    const auto asked = fake.smc->keysAsked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), "Tp09");
    EXPECT_EQ(asked.back(), "FNum");
}

TEST(SensorCollector, FirstUsableKeyOfEachListWins) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, float>> keys;
        std::optional<double> SensorReading::*field;
        double expected;
    };
    const Case cases[] = {
        {"zero skipped", {{"Tp09", 0.0f}, {"Tp01", 41.5f}}, &SensorReading::cpuTempCelsius, 41.5},
        {"negative skipped",
         {{"TC0P", -5.0f}, {"TC0H", 30.0f}},
         &SensorReading::cpuTempCelsius,
         30.0},
        {"order, not size",
         {{"TG0P", 90.0f}, {"Tg0f", 50.0f}},
         &SensorReading::gpuTempCelsius,
         50.0},
        {"case-sensitive keys", {{"Tp0b", 33.0f}}, &SensorReading::cpuTempCelsius, 33.0},
        {"no upper bound", {{"TB0T", 900.0f}}, &SensorReading::batteryTempCelsius, 900.0},
        {"stopped fan", {{"F0Ac", 0.0f}}, &SensorReading::fan0Rpm, 0.0},
        {"negative fan", {{"F0Ac", -1.0f}}, &SensorReading::fan0Rpm, -1.0},
        {"shared key, cpu", {{"PSTR", 12.0f}}, &SensorReading::cpuPowerWatts, 12.0},
        {"shared key, system", {{"PSTR", 12.0f}}, &SensorReading::systemPowerWatts, 12.0},
        {"charger", {{"PDTR", 0.0f}, {"PHPC", 61.0f}}, &SensorReading::chargerPowerWatts, 61.0},
        {"system from PDTR", {{"PDTR", 45.0f}}, &SensorReading::systemPowerWatts, 45.0},
        {"not a number",
         {{"TA0P", std::nanf("")}, {"TA1P", 21.0f}},
         &SensorReading::ambientTempCelsius,
         21.0},
    };
    for (const Case& c : cases) {
        FakeSmcReader fake;
        for (const auto& [key, value] : c.keys) {
            fake.smc->setFloat(key, value);
        }
        EXPECT_EQ(SensorCollector(fake.reader).collect().*c.field, c.expected) << c.name;
    }
}

TEST(SensorCollector, StopsReadingAListAtItsFirstUsableKey) {
    FakeSmcReader fake;
    fake.smc->setFloat("Tp09", 38.0f);
    fake.smc->setFloat("Tp01", 99.0f);
    EXPECT_EQ(SensorCollector(fake.reader).collect().cpuTempCelsius, 38.0);
    const auto asked = fake.smc->keysAsked();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "Tp01"), 0);
    EXPECT_EQ(asked[1], "Tg05") << "the GPU list follows the CPU key at once";
}

TEST(SensorCollector, FanCountIsIndependentOfTheFanKeys) {
    FakeSmcReader fake;
    fake.smc->set("FNum", fourCharCode("ui8 "), {2});
    fake.smc->set("F0Ac", fourCharCode("fpe2"), {0x1F, 0x40});
    const SensorReading reading = SensorCollector(fake.reader).collect();
    EXPECT_EQ(reading.fanCount, 2);
    EXPECT_EQ(reading.fan0Rpm, 2000.0);
    EXPECT_EQ(reading.fan1Rpm, -1.0);
}

TEST(SensorCollector, FanCountTruncatesTowardZeroAndRejectsWhatNoIntegerHolds) {
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        std::optional<double> value;
        std::int64_t count;
    } cases[] = {
        {std::nullopt, 0},
        {2.0, 2},
        {2.9, 2},
        {-1.5, -1},
        {std::nan(""), 0},
        {infinity, 0},
        {-infinity, 0},
        {9223372036854775808.0, 0},  // 2^63
        {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
        {-9.3e18, 0},
        {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fanCountFromValue(c.value), c.count) << c.value.value_or(-12345);
    }
    FakeSmcReader fake;
    fake.smc->setFloat("FNum", std::numeric_limits<float>::infinity());
    EXPECT_EQ(SensorCollector(fake.reader).collect().fanCount, 0);
}

TEST(SensorCollector, ListHelpersOnEmptyListsAreAbsent) {
    FakeSmcReader fake;
    const SensorCollector collector(fake.reader);
    EXPECT_EQ(collector.firstPositive({}), std::nullopt);
    EXPECT_EQ(collector.firstNonNegative({}), std::nullopt);
    EXPECT_TRUE(fake.smc->calls.empty());
}

}  // namespace
