#include "hardware/SensorNaming.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(SensorNaming, CleanedNamesKeepOnlyLowerCaseDigitsColonsAndUnderscores) {
    const struct {
        const char* raw;
        const char* cleaned;
    } cases[] = {
        {"coretemp.0", "coretemp_0"},
        {"0000:00:18.3", "0000:00:18_3"},
        {"NCT6775.656", "nct6775_656"},
        {"pwm-fan", "pwm_fan"},
        {"__a b__", "a_b"},
        {"-.-", ""},
        {"Ünï", "n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cleanedName(c.raw), c.cleaned) << c.raw;
    }
}

TEST(SensorNaming, ChipIdentityComesFromTheDevicePathElseTheNameElseTheFolder) {
    const struct {
        const char* device;
        const char* name;
        const char* folder;
        const char* identity;
    } cases[] = {
        {"/sys/devices/platform/coretemp.0", "coretemp", "hwmon3", "platform_coretemp_0"},
        {"/sys/devices/pci0000:00/0000:00:18.3", "k10temp", "hwmon1", "pci0000:00_0000:00:18_3"},
        {"/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/", "drivetemp",
         "hwmon2", "target0:0:0_0:0:0:0"},
        {"coretemp.0", "coretemp", "hwmon3", "coretemp_0"},
        {"", "BAT0", "hwmon4", "bat0"},
        {"", "", "hwmon7", "hwmon7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chipIdentity(c.device, c.name, c.folder), c.identity) << c.device;
    }
}

TEST(SensorNaming, LabelsAreTrimmedFreeOfControlsAndCutWholeAtSixtyFourBytes) {
    const std::string sixtyThree(63, 'a');
    const struct {
        std::string raw;
        std::string shown;
    } cases[] = {
        {"  Package id 0\n", "Package id 0"},
        {"CPU\x01\x1b[31m fan\x7f", "CPU[31m fan"},
        {std::string(80, 'x'), std::string(64, 'x')},
        {sixtyThree + "é", sixtyThree},  // the two-byte character would end past byte 64
        {std::string(62, 'b') + "é", std::string(62, 'b') + "é"},
        {"\n\t", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(boundedLabel(c.raw), c.shown) << c.raw;
    }
}

TEST(SensorNaming, RawValuesAreScaledToEachKindsUnitAndGarbageIsAbsent) {
    const struct {
        SensorKind kind;
        const char* raw;
        std::optional<double> value;
    } cases[] = {
        {SensorKind::temperature, "38850\n", 38.85},
        {SensorKind::temperature, "-273150\n", -273.15},
        {SensorKind::fan, "1205\n", 1205.0},
        {SensorKind::voltage, "12096\n", 12.096},
        {SensorKind::current, "1500\n", 1.5},
        {SensorKind::power, "35125000\n", 35.125},
        {SensorKind::energy, "183452871234\n", 183452.871234},
        {SensorKind::temperature, "N/A\n", std::nullopt},
        {SensorKind::temperature, "", std::nullopt},
        {SensorKind::fan, "12abc", std::nullopt},
        {SensorKind::voltage, "1.5", std::nullopt},
        {SensorKind::power, "99999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto value = scaledValue(c.kind, c.raw);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.raw;
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value) << c.raw;
        }
    }
}

TEST(SensorNaming, EachKindHasItsFilePrefix) {
    const struct {
        SensorKind kind;
        const char* prefix;
    } cases[] = {
        {SensorKind::temperature, "temp"}, {SensorKind::fan, "fan"},
        {SensorKind::voltage, "in"},       {SensorKind::current, "curr"},
        {SensorKind::power, "power"},      {SensorKind::energy, "energy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(channelPrefix(c.kind), c.prefix);
    }
}

}  // namespace
