#include "hardware/SensorChannelList.h"
#include "support/HelperFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<SensorChannel> listOf(const std::filesystem::path& root) {
    return SensorChannelList(root).read();
}

std::vector<std::string> identities(const std::vector<SensorChannel>& channels) {
    std::vector<std::string> found;
    for (const SensorChannel& channel : channels) {
        found.push_back(channel.chip + "/" + channel.sensor);
    }
    return found;
}

std::optional<SensorChannel> find(const std::vector<SensorChannel>& channels,
                                  const std::string& identity) {
    for (const SensorChannel& channel : channels) {
        if (channel.chip + "/" + channel.sensor == identity) {
            return channel;
        }
    }
    return std::nullopt;
}

std::map<SensorKind, int> kindCounts(const std::vector<SensorChannel>& channels) {
    std::map<SensorKind, int> counts;
    for (const SensorChannel& channel : channels) {
        ++counts[channel.kind];
    }
    return counts;
}

void expectNear(const std::optional<double>& actual, const std::optional<double>& expected,
                const std::string& what) {
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (actual) {
        EXPECT_DOUBLE_EQ(*actual, *expected) << what;
    }
}

constexpr auto temperature = SensorKind::temperature;
constexpr auto fan = SensorKind::fan;
constexpr auto voltage = SensorKind::voltage;
constexpr auto power = SensorKind::power;
constexpr std::nullopt_t none = std::nullopt;

TEST(SensorChannelList, FixtureMachinesListTheirChannelsNamedScaledAndWithLimits) {
    const struct {
        const char* machine;
        const char* identity;
        const char* chipName;
        const char* label;
        SensorKind kind;
        std::optional<double> value, minimum, maximum, critical;
    } cases[] = {
        {"superio-desktop", "platform_nct6775_656/in1", "nct6798", "+12V", voltage, 12.096, 10.8,
         13.2, none},
        {"superio-desktop", "platform_nct6775_656/in0", "nct6798", "Vcore", voltage, 1.016, 0.0,
         1.744, none},
        {"superio-desktop", "platform_nct6775_656/fan2", "nct6798", "", fan, 1205.0, 200.0, none,
         none},
        {"superio-desktop", "platform_nct6775_656/fan3", "nct6798", "", fan, 645.0, none, none,
         none},
        {"superio-desktop", "platform_nct6775_656/temp9", "nct6798", "PCH_CHIP_TEMP", temperature,
         52.0, none, none, none},
        {"superio-desktop", "platform_nct6775_656/temp2", "nct6798", "CPUTIN", temperature, 41.5,
         none, 80.0, 100.0},
        {"superio-desktop", "platform_coretemp_0/temp1", "coretemp", "Package id 0", temperature,
         46.0, none, 80.0, 100.0},
        {"superio-desktop", "nvme_nvme0/temp1", "nvme", "Composite", temperature, 38.85, -273.15,
         81.85, 84.85},
        {"superio-desktop", "thermal_zone0/temp", "acpitz", "", temperature, 27.8, none, none,
         119.0},
        {"thinkpad-laptop", "target0:0:0_0:0:0:0/temp1", "drivetemp", "", temperature, 36.0, 0.0,
         60.0, 70.0},
        {"thinkpad-laptop", "target1:0:0_1:0:0:0/temp1", "drivetemp", "", temperature, 33.0, 0.0,
         65.0, 75.0},
        {"thinkpad-laptop", "platform_thinkpad_hwmon/fan2", "thinkpad", "", fan, 2475.0, none, none,
         none},
        {"thinkpad-laptop", "power_supply_bat0/in0", "BAT0", "", voltage, 12.48, none, none, none},
        {"thinkpad-laptop", "thermal_zone1/temp", "acpitz", "", temperature, 48.0, none, none,
         none},
        {"arm-board-cpu-thermal", "thermal_zone0/temp", "cpu-thermal", "", temperature, 47.236,
         none, none, 90.0},
        {"arm-board-cpu-thermal", "platform_pwm_fan/fan1", "pwmfan", "", fan, 3200.0, none, none,
         none},
        {"amd-desktop", "pci0000:00_0000:00:18_3/temp1", "k10temp", "Tctl", temperature, 54.375,
         none, none, none},
        {"amd-desktop", "0000:00:03_1_0000:0b:00_0/power1", "amdgpu", "PPT", power, 35.125, none,
         none, none},
        {"amd-desktop", "i2c_0_0_0053/temp1", "spd5118", "", temperature, 42.75, none, 55.0, 85.0},
        {"intel-laptop", "coretemp/temp1", "coretemp", "Package id 0", temperature, 62.0, none,
         100.0, 100.0},
    };
    for (const auto& c : cases) {
        const auto channel = find(listOf(kSensorFixtures / c.machine), c.identity);
        const std::string what = std::string(c.machine) + " " + c.identity;
        ASSERT_TRUE(channel) << what;
        EXPECT_EQ(channel->chipName, c.chipName) << what;
        EXPECT_EQ(channel->label, c.label) << what;
        EXPECT_EQ(channel->kind, c.kind) << what;
        expectNear(channel->value, c.value, what + " value");
        expectNear(channel->minimum, c.minimum, what + " minimum");
        expectNear(channel->maximum, c.maximum, what + " maximum");
        expectNear(channel->critical, c.critical, what + " critical");
    }
}

TEST(SensorChannelList, FixtureMachinesListEveryChannelOfEachKind) {
    const struct {
        const char* machine;
        std::map<SensorKind, int> counts;
    } cases[] = {
        {"superio-desktop", {{temperature, 16}, {fan, 5}, {voltage, 12}}},
        {"thinkpad-laptop", {{temperature, 13}, {fan, 2}, {voltage, 1}}},
        {"arm-board-cpu-thermal", {{temperature, 2}, {fan, 1}}},
        {"amd-desktop", {{temperature, 16}, {fan, 4}, {voltage, 1}, {power, 1}}},
        {"intel-laptop", {{temperature, 16}, {fan, 2}, {voltage, 1}}},
        {"arm-sbc", {{temperature, 2}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kindCounts(listOf(kSensorFixtures / c.machine)), c.counts) << c.machine;
    }
}

TEST(SensorChannelList, ChipsComeByIdentityEachByKindThenNumberAndZonesLast) {
    const std::vector<std::string> expected = {
        "platform_coretemp_0/temp1",
        "platform_coretemp_0/temp2",
        "platform_coretemp_0/temp3",
        "platform_coretemp_0/temp4",
        "platform_coretemp_0/temp5",
        "platform_thinkpad_hwmon/temp1",
        "platform_thinkpad_hwmon/temp2",
        "platform_thinkpad_hwmon/temp3",
        "platform_thinkpad_hwmon/fan1",
        "platform_thinkpad_hwmon/fan2",
        "power_supply_bat0/in0",
        "target0:0:0_0:0:0:0/temp1",
        "target1:0:0_1:0:0:0/temp1",
        "thermal_zone0/temp",
        "thermal_zone1/temp",
        "thermal_zone2/temp",
    };
    EXPECT_EQ(identities(listOf(kSensorFixtures / "thinkpad-laptop")), expected);
}

TEST(SensorChannelList, ASuspendedChipIsListedWithoutValuesAndReadOnceAwake) {
    SensorTree tree("amd-desktop");
    const auto status = "sys/class/hwmon/hwmon4/device/power/runtime_status";
    tree.write(status, "suspended\n");
    SensorChannelList list(tree.root());
    const std::string gpu = "0000:00:03_1_0000:0b:00_0/";

    const auto asleep = list.read();
    for (const char* sensor : {"temp1", "fan1", "power1"}) {
        const auto channel = find(asleep, gpu + sensor);
        ASSERT_TRUE(channel) << sensor;
        EXPECT_FALSE(channel->value) << sensor;
        EXPECT_FALSE(channel->critical) << sensor;
    }
    EXPECT_TRUE(find(asleep, "pci0000:00_0000:00:18_3/temp1")->value);

    tree.write(status, "active\n");
    const auto awake = list.read();
    expectNear(find(awake, gpu + "temp1")->value, 48.0, "value");
    expectNear(find(awake, gpu + "temp1")->critical, 100.0, "critical");
}

TEST(SensorChannelList, UnreadableOrGarbageValuesAreAbsentAndNewValuesAreSeen) {
    SensorTree tree("superio-desktop");
    const std::filesystem::path chip = "sys/class/hwmon/hwmon2";
    // An input that cannot be read at all: a folder in the file's place.
    std::filesystem::remove(tree.root() / chip / "in4_input");
    std::filesystem::create_directory(tree.root() / chip / "in4_input");
    SensorChannelList list(tree.root());
    EXPECT_FALSE(find(list.read(), "platform_nct6775_656/in4")->value);
    const struct {
        const char* file;
        std::string content;
        const char* identity;
        std::optional<double> value;
    } steps[] = {
        {"fan1_input", "N/A\n", "platform_nct6775_656/fan1", none},
        {"fan1_input", "", "platform_nct6775_656/fan1", none},
        {"fan1_input", "-\n", "platform_nct6775_656/fan1", none},
        {"fan1_input", "903\n", "platform_nct6775_656/fan1", 903.0},
        {"in3_input", "3.3\n", "platform_nct6775_656/in3", none},
        {"in3_input", "3312\n", "platform_nct6775_656/in3", 3.312},
    };
    for (const auto& step : steps) {
        tree.write(chip / step.file, step.content);
        expectNear(find(list.read(), step.identity)->value, step.value, step.content);
    }
}

TEST(SensorChannelList, AMachineWithoutSysListsNothing) {
    SensorTree empty;
    EXPECT_TRUE(listOf(empty.root()).empty());
    EXPECT_TRUE(listOf(empty.root() / "missing").empty());
}

TEST(SensorChannelList, NoMoreThanTheMostChannelsAreListed) {
    SensorTree tree;
    for (int chip = 0; chip < 3; ++chip) {
        const auto folder = "sys/class/hwmon/hwmon" + std::to_string(chip) + "/";
        tree.write(folder + "name", "chip" + std::to_string(chip) + "\n");
        for (int n = 1; n <= 200; ++n) {
            tree.write(folder + "in" + std::to_string(n) + "_input", "1000\n");
        }
    }
    tree.write("sys/class/thermal/thermal_zone0/temp", "40000\n");
    const auto channels = listOf(tree.root());
    ASSERT_EQ(channels.size(), SensorChannelList::kMostChannels);
    EXPECT_EQ(channels.back().chip, "chip2");
    EXPECT_EQ(channels.back().sensor, "in112");
}

}  // namespace
