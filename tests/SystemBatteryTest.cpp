#include "hardware/BatterySupply.h"
#include "hardware/SystemBattery.h"
#include "platform/linux/power/PowerSupplyReader.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SystemBattery, TypeAndScopeSayWhetherASupplyIsTheSystemsBattery) {
    const struct {
        const char* type;
        const char* scope;
        bool systemBattery;
    } cases[] = {
        {"Battery\n", "", true},          {"Battery\n", "System\n", true},
        {"Battery\n", "Unknown\n", true}, {" Battery \n", " System\n", true},
        {"Battery\n", "Device\n", false}, {"Battery\n", "Device", false},
        {"Mains\n", "", false},           {"UPS\n", "System\n", false},
        {"battery\n", "", false},         {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isSystemBattery(c.type, c.scope), c.systemBattery)
            << '"' << c.type << "\" \"" << c.scope << '"';
    }
}

TEST(SystemBattery, OnlyAPresentFileSayingZeroEmptiesASlot) {
    const struct {
        const char* present;
        bool empty;
    } cases[] = {{"0\n", true}, {" 0", true}, {"1\n", false}, {"", false}, {"no\n", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(isEmptySlot(c.present), c.empty) << '"' << c.present << '"';
    }
}

struct Supply {
    std::string name;
    std::string type;
    std::string scope;    // no file when empty
    std::string present;  // no file when empty
};

// Each supply's capacity is its place in the case's list, its temperature ten times that in
// tenths of a degree, so each program's choice shows in its figures.
TEST(SystemBattery, TheApplicationAndTheHelperTakeTheSameBattery) {
    const struct {
        const char* what;
        std::vector<Supply> supplies;
        int expected;  // the place of the system battery, -1 for none
    } cases[] = {
        {"laptop", {{"AC", "Mains", "", ""}, {"BAT0", "Battery", "", "1"}}, 1},
        {"a mouse listed first",
         {{"hid-mouse-battery", "Battery", "Device", ""}, {"macsmc-battery", "Battery", "", ""}},
         1},
        {"an empty first slot",
         {{"BAT0", "Battery", "", "0"}, {"BAT1", "Battery", "System", "1"}},
         1},
        {"only peripherals and mains",
         {{"AC", "Mains", "", ""}, {"hidpp_battery_0", "Battery", "Device", "1"}},
         -1},
        {"no slot filled", {{"BAT0", "Battery", "", "0"}}, -1},
    };
    for (const auto& c : cases) {
        FixtureTree tree;
        for (std::size_t place = 0; place < c.supplies.size(); ++place) {
            const Supply& supply = c.supplies[place];
            const auto folder = std::filesystem::path("sys/class/power_supply") / supply.name;
            tree.write(folder / "type", supply.type + "\n");
            tree.write(folder / "capacity", std::to_string(place) + "\n");
            tree.write(folder / "temp", std::to_string(place * 10 * 10) + "\n");
            for (const auto& [file, text] :
                 {std::pair{"scope", supply.scope}, std::pair{"present", supply.present}}) {
                if (!text.empty()) {
                    tree.write(folder / file, text + "\n");
                }
            }
        }
        const auto helpers = BatterySupply::find(tree.root());
        const auto applications = PowerSupplyReader(tree.root()).readAttributes().batteries;
        if (c.expected < 0) {
            EXPECT_FALSE(helpers.has_value()) << c.what;
            EXPECT_TRUE(applications.empty()) << c.what;
            continue;
        }
        ASSERT_TRUE(helpers.has_value()) << c.what;
        EXPECT_EQ(helpers->temperatureCelsius(), c.expected * 10.0) << c.what;
        ASSERT_FALSE(applications.empty()) << c.what;
        EXPECT_EQ(applications.front().capacityPercent, c.expected) << c.what;
    }
}

}  // namespace
