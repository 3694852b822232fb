#include "linux_monitor/LinuxProviders.h"
#include "platform/linux/power/PowerSupplyCombiner.h"
#include "platform/linux/power/PowerSupplyReader.h"
#include "providers/BatteryProvider.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::filesystem::path kFixtures = std::filesystem::path(VANTREL_FIXTURES_DIR) / "battery";

void expectSameBattery(const BatteryStats& actual, const BatteryStats& expected) {
    BatteryStats withoutWatts = actual;
    withoutWatts.currentWatts = expected.currentWatts;
    EXPECT_EQ(withoutWatts, expected);
    EXPECT_NEAR(actual.currentWatts, expected.currentWatts, 1e-9);
}

PowerSupplyReading oneSource(PowerSourceDescription source, SmartBatteryProperties gauge) {
    return {{std::move(source)}, gauge};
}

struct FixtureCase {
    const char* name;
    PowerSupplyReading reading;
    friend void PrintTo(const FixtureCase& row, std::ostream* out) { *out << row.name; }
};

class PowerSupplyFixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(PowerSupplyFixtureTest, ReadsTheMachinesPowerSupplies) {
    PowerSupplyReader reader(kFixtures / GetParam().name);
    const PowerSupplyReading reading = reader.read();
    EXPECT_EQ(reading, GetParam().reading);
    // The kept descriptors rewind: a second read sees the same files.
    EXPECT_EQ(reader.read(), reading);
}

// The readings' conversion into the record is the battery provider's own test.
TEST(PowerSupplyReader, TheLinuxProviderGivesTheMachinesBatteryRecord) {
    const BatteryStats expected{true,           62,     true, true, 46,  88, 187,
                                12.498 * 1.990, 12.498, "",   4950, 4387};
    expectSameBattery(makeLinuxBatteryProvider(kFixtures / "laptop-charging")->sample(), expected);
}

const std::string kAC(kACPowerState);
const std::string kOnBattery(kBatteryPowerState);

// Expected figures worked out by hand from each fixture. Capacities of energy gauges are
// µWh * 1000 / voltage_min_design µV, rounded; amperage is the power at the present voltage.
INSTANTIATE_TEST_SUITE_P(
    Fixtures, PowerSupplyFixtureTest,
    ::testing::Values(
        // To full: (50540000 - 31334800) µWh / 24876000 µW = 46.3 min. 4387 / 4950 mAh = 88 %.
        FixtureCase{"laptop-charging",
                    oneSource({62, 100, true, kAC, 46, std::nullopt, std::nullopt},
                              {187, 4950, 4387, std::nullopt, 12498, 1990})},
        // To empty: 24259200 µWh / 8412000 µW = 173.0 min; ACPI's unsigned rate is discharging.
        FixtureCase{"laptop-discharging",
                    oneSource({48, 100, false, kOnBattery, std::nullopt, 173, std::nullopt},
                              {187, 4950, 4387, std::nullopt, 11730, -717})},
        FixtureCase{"laptop-full", oneSource({100, 100, false, kAC, std::nullopt, -2, std::nullopt},
                                             {187, 4950, 4387, std::nullopt, 13020, 0})},
        // Held at the charge threshold on a USB-C charger while AC reads offline.
        FixtureCase{"laptop-not-charging",
                    oneSource({80, 100, false, kAC, std::nullopt, -2, std::nullopt},
                              {187, 4950, 4387, std::nullopt, 12870, 0})},
        // µAh gauge: 2191000 µAh / 1500000 µA = 87.6 min; 4382 / 5103 mAh = 85 %, truncated.
        FixtureCase{"charge-based-battery",
                    oneSource({50, 100, false, kOnBattery, std::nullopt, 87, std::nullopt},
                              {312, 5103, 4382, std::nullopt, 12000, -1500})},
        // The driver's own estimate (5400 s), its health text; cycle count 0 is unknown.
        FixtureCase{"energy-based-battery",
                    oneSource({71, 100, false, kOnBattery, std::nullopt, 90, "Good"},
                              {std::nullopt, 6250, 5875, std::nullopt, 7600, -1200})},
        // To empty: 29375000 µWh / 7215000 µW = 244.3 min; 49750000 / 52500000 µWh at
        // 15.44 V design = 3222 / 3400 mAh = 94 %; 7215000 µW / 16.03 V = 450 mA.
        FixtureCase{"amd-laptop-apu",
                    oneSource({59, 100, false, kOnBattery, std::nullopt, 244, std::nullopt},
                              {96, 3400, 3222, std::nullopt, 16030, -450})},
        FixtureCase{"desktop-no-battery", {}},
        FixtureCase{"arm-sbc", {}},  // a USB-C power delivery supply alone, as mains alone
        FixtureCase{"peripheral-battery-ignored", {}},
        // Energies summed: 27.2 of 43 Wh = 63 %, 272 min at 6 W. Design 2 x 2105.3 mAh, full
        // 2017.5 + 1754.4 mAh; cycles of the more worn pack; voltage the mean of both.
        FixtureCase{"two-batteries",
                    oneSource({63, 100, false, kOnBattery, std::nullopt, 272, std::nullopt},
                              {410, 4211, 3772, std::nullopt, 11850, -506})},
        FixtureCase{"battery-slot-empty",
                    oneSource({62, 100, true, kAC, 46, std::nullopt, std::nullopt},
                              {187, 4950, 4387, std::nullopt, 12498, 1990})},
        // Nothing usable but the presence of a battery and its (cleaned, shortened) health.
        FixtureCase{"garbage-values",
                    oneSource({std::nullopt, 100, false, kOnBattery, std::nullopt, std::nullopt,
                               "Over?[31mheat?( and a great deal more text than any driver write"},
                              {})}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

TEST(PowerSupplyReader, AMissingFolderIsAMachineWithoutBattery) {
    PowerSupplyReader reader(kFixtures / "does-not-exist");
    EXPECT_EQ(reader.read(), PowerSupplyReading{});
    EXPECT_EQ(makeLinuxBatteryProvider(kFixtures / "does-not-exist")->sample(), BatteryStats{});
}

TEST(PowerSupplyReader, FollowsSuppliesThatComeAndGo) {
    const FixtureTree tree("battery/laptop-discharging");
    const auto supplies = tree.root() / "sys/class/power_supply";
    PowerSupplyReader reader(tree.root());
    ASSERT_EQ(reader.readAttributes().batteries.size(), 1u);

    // A second pack clicked in.
    const auto second = supplies / "BAT1";
    std::filesystem::copy(supplies / "BAT0", second);
    tree.write(second / "status", "Full\n");
    EXPECT_EQ(reader.readAttributes().batteries.size(), 2u);

    // The charger plugged in.
    tree.write(supplies / "AC/online", "1\n");
    EXPECT_TRUE(reader.readAttributes().externalSupplyOnline);

    std::filesystem::remove_all(second);
    const PowerSupplyAttributes after = reader.readAttributes();
    ASSERT_EQ(after.batteries.size(), 1u);
    EXPECT_EQ(after.batteries.front().status, "Discharging");
}

// The combination of the kernel's attributes, case by case.

BatteryAttributes acpiEnergyBattery(std::string status) {
    BatteryAttributes battery;
    battery.status = std::move(status);
    battery.capacityPercent = 50;
    battery.energyNow = 25000000;
    battery.energyFull = 50000000;
    battery.energyFullDesign = 50000000;
    battery.voltageNow = 12000000;
    battery.voltageMinDesign = 12000000;
    battery.powerNow = 10000000;
    return battery;
}

struct CombineCase {
    const char* name;
    PowerSupplyAttributes attributes;
    PowerSourceDescription source;
    friend void PrintTo(const CombineCase& row, std::ostream* out) { *out << row.name; }
};

class CombineTest : public ::testing::TestWithParam<CombineCase> {};

TEST_P(CombineTest, DescribesThePowerSource) {
    const PowerSupplyReading reading = describePowerSupplies(GetParam().attributes);
    ASSERT_EQ(reading.powerSources.size(), 1u);
    EXPECT_EQ(reading.powerSources.front(), GetParam().source);
}

PowerSupplyAttributes withBattery(BatteryAttributes battery, bool listed = true,
                                  bool online = false) {
    return {{std::move(battery)}, listed, online};
}

template <typename Change>
BatteryAttributes changed(BatteryAttributes battery, Change change) {
    change(battery);
    return battery;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CombineTest,
    ::testing::Values(
        // 25 Wh at 10 W = 150 min, 25 Wh to gain = 150 min.
        CombineCase{"discharging",
                    withBattery(acpiEnergyBattery("Discharging")),
                    {50, 100, false, kOnBattery, std::nullopt, 150, std::nullopt}},
        CombineCase{"charging",
                    withBattery(acpiEnergyBattery("Charging"), true, true),
                    {50, 100, true, kAC, 150, std::nullopt, std::nullopt}},
        // No Mains or USB supply listed at all: charging, full or held still means plugged in.
        CombineCase{"chargingWithoutMainsListed",
                    withBattery(acpiEnergyBattery("Charging"), false),
                    {50, 100, true, kAC, 150, std::nullopt, std::nullopt}},
        CombineCase{"fullWithoutMainsListed",
                    withBattery(acpiEnergyBattery("Full"), false),
                    {50, 100, false, kAC, std::nullopt, -2, std::nullopt}},
        // A listed charger that is offline is believed over a "Full" status.
        CombineCase{"fullWithChargerOffline",
                    withBattery(acpiEnergyBattery("Full")),
                    {50, 100, false, kOnBattery, std::nullopt, std::nullopt, std::nullopt}},
        CombineCase{"unknownStatusOnCharger",
                    withBattery(acpiEnergyBattery("Unknown"), true, true),
                    {50, 100, false, kAC, std::nullopt, -2, std::nullopt}},
        // No power reading yet: no estimate rather than a division by zero.
        CombineCase{
            "zeroPower",
            withBattery(changed(acpiEnergyBattery("Discharging"), [](auto& b) { b.powerNow = 0; })),
            {50, 100, false, kOnBattery, std::nullopt, std::nullopt, std::nullopt}},
        // 25 Wh at 1 µW would be millions of hours: not an estimate.
        CombineCase{
            "nearZeroPower",
            withBattery(changed(acpiEnergyBattery("Discharging"), [](auto& b) { b.powerNow = 1; })),
            {50, 100, false, kOnBattery, std::nullopt, std::nullopt, std::nullopt}},
        // The driver's estimate wins over the computed one.
        CombineCase{"driverEstimate",
                    withBattery(changed(acpiEnergyBattery("Discharging"),
                                        [](auto& b) { b.timeToEmptySeconds = 3599; })),
                    {50, 100, false, kOnBattery, std::nullopt, 59, std::nullopt}},
        // Current without power: P = |I| x V, whatever the sign convention of the driver.
        CombineCase{"signedCurrentOnly",
                    withBattery(changed(acpiEnergyBattery("Discharging"),
                                        [](auto& b) {
                                            b.powerNow.reset();
                                            b.currentNow = -833333;
                                        })),
                    {50, 100, false, kOnBattery, std::nullopt, 150, std::nullopt}},
        // Capacity outside 0-100 falls back to the energies; a gauge above full reads 100.
        CombineCase{"capacityOutOfRange",
                    withBattery(changed(acpiEnergyBattery("Discharging"),
                                        [](auto& b) {
                                            b.capacityPercent = 101;
                                            b.energyNow = 51000000;
                                        })),
                    {100, 100, false, kOnBattery, std::nullopt, 306, std::nullopt}},
        CombineCase{"healthUnknownIsNoCondition",
                    withBattery(changed(acpiEnergyBattery("Discharging"),
                                        [](auto& b) { b.health = "Unknown"; })),
                    {50, 100, false, kOnBattery, std::nullopt, 150, std::nullopt}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Combine, SeveralBatteriesShowTheFirstTroubleAndNoDriverEstimate) {
    BatteryAttributes first = acpiEnergyBattery("Discharging");
    first.health = "Good";
    first.timeToEmptySeconds = 60;
    BatteryAttributes second = acpiEnergyBattery("Unknown");
    second.health = "Overheat";
    second.powerNow = 0;
    const PowerSupplyReading reading = describePowerSupplies({{first, second}, true, false});
    ASSERT_EQ(reading.powerSources.size(), 1u);
    EXPECT_EQ(reading.powerSources.front().batteryHealth, "Overheat");
    // 50 Wh left at 10 W: 300 min, not the first pack's own minute.
    EXPECT_EQ(reading.powerSources.front().timeToEmptyMinutes, 300);
}

TEST(Combine, ChargeGaugeWithoutAnyVoltageKeepsItsMilliampHours) {
    BatteryAttributes battery;
    battery.status = "Discharging";
    battery.chargeNow = 1000000;
    battery.chargeFull = 4000000;
    battery.chargeFullDesign = 5000000;
    battery.currentNow = 500000;
    const PowerSupplyReading reading = describePowerSupplies({{battery}, false, false});
    ASSERT_TRUE(reading.smartBattery.has_value());
    EXPECT_EQ(reading.smartBattery->designCapacity, 5000);
    EXPECT_EQ(reading.smartBattery->rawMaxCapacity, 4000);
    EXPECT_EQ(reading.smartBattery->voltage, std::nullopt);
    EXPECT_EQ(reading.smartBattery->amperage, std::nullopt);
    // Without a voltage the charge cannot become energy: no estimate, 25 % from the charges is
    // not guessed either when the driver gives no capacity.
    EXPECT_EQ(reading.powerSources.front().timeToEmptyMinutes, std::nullopt);
    EXPECT_EQ(reading.powerSources.front().currentCapacity, std::nullopt);
}

}  // namespace
