#include "helper/SensorCollector.h"
#include "helper/applesmc/AppleSmcFieldSources.h"
#include "support/FakeSmc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A collector over the key lists of a fake SMC that the test keeps.
SensorReading collectFrom(FakeSmcReader& fake) {
    std::shared_ptr<const SmcReader> reader(std::shared_ptr<void>(), &fake.reader);
    return SensorCollector(appleSmcFieldSources(reader), {}, {}).collect();
}

TEST(AppleSmcFieldSources, AnEmptySmcIsAskedEveryKeyInListOrder) {
    FakeSmcReader fake;
    EXPECT_EQ(collectFrom(fake), SensorReading{});
    const auto asked = fake.smc->keysAsked();
    ASSERT_EQ(asked.size(), 63u);
    EXPECT_EQ(asked.front(), "Tp09");
    EXPECT_EQ(asked[10], "Tg05") << "the GPU list follows the CPU list";
    EXPECT_EQ(asked.back(), "FNum");
}

TEST(AppleSmcFieldSources, FirstUsableKeyOfEachListWins) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, float>> keys;
        std::optional<double> SensorReading::*field;
        std::optional<double> expected;
    } cases[] = {
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
        {"implausible skipped",
         {{"TB1T", 900.0f}, {"TB0T", 31.0f}},
         &SensorReading::batteryTempCelsius,
         31.0},
        {"stopped fan", {{"F0Ac", 0.0f}}, &SensorReading::fan0Rpm, 0.0},
        {"negative fan", {{"F0Ac", -1.0f}}, &SensorReading::fan0Rpm, std::nullopt},
        {"shared key, cpu", {{"PSTR", 12.0f}}, &SensorReading::cpuPowerWatts, 12.0},
        {"shared key, system", {{"PSTR", 12.0f}}, &SensorReading::systemPowerWatts, 12.0},
        {"charger", {{"PDTR", 0.0f}, {"PHPC", 61.0f}}, &SensorReading::chargerPowerWatts, 61.0},
        {"system from PDTR", {{"PDTR", 45.0f}}, &SensorReading::systemPowerWatts, 45.0},
        {"not a number",
         {{"TA0P", std::nanf("")}, {"TA1P", 21.0f}},
         &SensorReading::ambientTempCelsius,
         21.0},
    };
    for (const auto& c : cases) {
        FakeSmcReader fake;
        for (const auto& [key, value] : c.keys) {
            fake.smc->setFloat(key, value);
        }
        EXPECT_EQ(collectFrom(fake).*c.field, c.expected) << c.name;
    }
}

TEST(AppleSmcFieldSources, FanCountIsItsOwnKey) {
    FakeSmcReader fake;
    fake.smc->set("FNum", fourCharCode("ui8 "), {2});
    fake.smc->set("F0Ac", fourCharCode("fpe2"), {0x1F, 0x40});
    const SensorReading reading = collectFrom(fake);
    EXPECT_EQ(reading.fanCount, 2);
    EXPECT_EQ(reading.fan0Rpm, 2000.0);
    EXPECT_EQ(reading.fan1Rpm, std::nullopt);
}

}  // namespace
