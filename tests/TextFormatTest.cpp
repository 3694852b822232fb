#include "core/TextFormat.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr double kKiB = 1024.0;
constexpr double kMiB = kKiB * 1024;
constexpr double kGiB = kMiB * 1024;
constexpr std::uint64_t kGiBBytes = std::uint64_t{1} << 30;

using Cases = std::vector<std::pair<QString, const char*>>;

void expectTexts(const Cases& cases) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].first, QString::fromUtf8(cases[i].second)) << "case " << i;
    }
}

BatteryStats battery(bool charging, int minutes, int design = -1, int maximum = -1,
                     double voltage = 0) {
    BatteryStats b;
    b.hasBattery = true;
    b.isCharging = charging;
    b.timeRemainingMinutes = minutes;
    b.designCapacityMAh = design;
    b.currentMaxCapacityMAh = maximum;
    b.voltage = voltage;
    return b;
}

// An exact half of the binary value goes to the even digit, as printf does; a decimal that
// is not exact in binary (0.35, 12.345) goes the way its binary value lies.
TEST(TextFormat, NumbersRoundAsPrintfAndSwitchUnitsAtPowersOfTwo) {
    expectTexts({
        {fixedText(0.25, 1), "0.2"},
        {fixedText(0.35, 1), "0.3"},
        {fixedText(0.45, 1), "0.5"},
        {fixedText(2.5, 0), "2"},
        {fixedText(3.5, 0), "4"},
        {wholeNumberText(1500.5), "1500"},
        {decimalPercentText(12.25), "12.2%"},
        {percentText(0.999), "99%"},
        {wholePercentText(62.5), "62%"},
        {percentText(std::nan("")), "0%"},
        {wholePercentText(57), "57%"},  // not 0.57 × 100, which truncates to 56
        {thermalStateText(ThermalState::serious), "Serious"},
        {thermalStateText(static_cast<ThermalState>(7)), "Unknown"},
        {formatBytes(static_cast<std::uint64_t>(2.5 * kMiB)), "2 MB"},
        {formatBytes(kGiBBytes - 1), "1024 MB"},
        {formatBytes(kGiBBytes), "1.0 GB"},
        {formatBytes(kGiBBytes + kGiBBytes / 4), "1.2 GB"},
        {gigabytesText(kGiBBytes * 7 / 4), "1.8 GB"},
        {formatTotalBytes(1023), "1023 B"},
        {formatTotalBytes(2.5 * kKiB), "2 KB"},
        {formatTotalBytes(3.5 * kKiB), "4 KB"},
        {formatTotalBytes(kMiB - 1), "1024 KB"},
        {formatTotalBytes(kGiB - 1), "1024.0 MB"},
        {byteRateText(1023.9), "1024 B/s"},
        {byteRateText(2.5 * kKiB), "2 KB/s"},
        {byteRateText(1.25 * kGiB), "1.2 GB/s"},
        {compactByteRateText(1023), "1023B"},
        {compactByteRateText(1024), "1K"},
        {compactByteRateText(kGiB), "1G"},
        {temperatureText(71.25), "71.2 °C"},
        {wholeTemperatureText(70.5), "70°C"},
        {statusItemTemperatureText(71.5), "72°"},
        {powerText(12.25), "12.2 W"},
        {energyText(1.125), "1.12 Wh"},
        {voltageText(12.345), "12.35 V"},
        {loadAveragesText({0.125, 1.5, 2}), "0.12  1.50  2.00"},
        {fanSpeedText(1199.49), "1199 RPM"},
        {wholeRpmText(1200.5), "1200 RPM"},
        {fanSpeedText(-0.5), "-1 RPM"},
        {fanSpeedText(1e12), "2147483647 RPM"},
        {pixelsText(30), "30px"},
        {editableNumberText(95), "95"},
        {editableNumberText(72.5), "72.5"},
        {editableNumberText(-0.1), "-0.1"},
        {refreshIntervalText(1), "1 second"},
        {refreshIntervalText(0.5), "0.5 seconds"},
        {batteryCapacityText(battery(false, 0, 5103, 4420, 12.5)), "55.2 / 63.8 Wh"},
        {batteryCapacityText(battery(false, 0, 5103, 4382, 0)), "4382 / 5103 mAh"},
        {batteryCapacityText(battery(false, 0, -1, 4382, 12.6)), ""},
        {pageRateText(12.5), "12/s"},
        {shortenedAddressText(QStringLiteral("2001:db8:85a3:0:0:8a2e:370:7334"), 24),
         "2001:db8:85a3:0:0:8a2e:3…"},
        {shortenedAddressText(QStringLiteral("fe80::1"), 24), "fe80::1"},
        {noValueText(), "—"},
        {alertSustainText(0), "At once"},
        {alertSustainText(10), "10 seconds"},
        {alertSustainText(60), "1 minute"},
        {alertSustainText(120), "2 minutes"},
    });
}

TEST(TextFormat, ASensorReadingIsWrittenInItsKindsUnitAndAbsentAsTheDash) {
    using enum SensorChannelKind;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const struct {
        SensorChannelKind kind;
        std::optional<double> value;
        const char* text;
        const char* unit;
    } cases[] = {
        {temperature, 47.25, "47.2 °C", "°C"},
        {fan, 1450.4, "1450 RPM", "RPM"},
        {voltage, 1.056, "1.06 V", "V"},
        {current, 0.125, "0.12 A", "A"},
        {power, 15.25, "15.2 W", "W"},
        {energy, 123456.78, "123456.8 J", "J"},
        {temperature, std::nullopt, "—", "°C"},
        {fan, nan, "—", "RPM"},
        {power, infinity, "—", "W"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sensorChannelValueText(c.kind, c.value), QString::fromUtf8(c.text));
        EXPECT_EQ(sensorChannelUnitText(c.kind), QString::fromUtf8(c.unit));
    }
}

TEST(TextFormat, TimesAtTheirBounds) {
    expectTexts({
        {durationText(59.9), "59s"},
        {durationText(60), "1m 0s"},
        {durationText(3599), "59m 59s"},
        {durationText(3600), "1h 0m"},
        {durationText(std::nan("")), "0s"},
        {recordingStatusText(65.9, 32), "Recording — 1m 5s, 32 rows"},
        {recordingStatusText(0, 0), "Recording — 0s, 0 rows"},
        {spanText(0.9), "None"},
        {throttleText(0), "None"},
        {throttleText(60), "1m 0s"},
        {throttleText(3660), "61m 0s"},
        {uptimeText(-5), "0m"},
        {uptimeText(3600), "1h 0m"},
        {uptimeText(86399), "23h 59m"},
        {uptimeText(86400), "1d 0h 0m"},
        {batteryTimeText(battery(true, 0)), "Charging"},
        {batteryTimeText(battery(true, 95)), "Full in 1h 35m"},
        {batteryTimeText(battery(false, -1)), "Calculating..."},
        {batteryTimeText(battery(false, -2)), "Fully Charged"},
        {batteryTimeText(battery(false, -7)), "Calculating..."},
        {batteryTimeText(battery(false, 60)), "1h 0m remaining"},
    });
}

}  // namespace
