#include "StatusRecordsFixture.h"
#include "status_item/picture/MetricText.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct ValueCase {
    const char* name;
    StatusMetric metric;
    std::function<void(OwnedRecords&)> set;
    const char* full;     // text-only entry text
    const char* compact;  // value text of the graph and icon modes
};

class ValueTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTextTest, ShowsTheValueOrADash) {
    OwnedRecords records;
    GetParam().set(records);
    EXPECT_EQ(entryText(GetParam().metric, records.view()), QString::fromUtf8(GetParam().full));
    EXPECT_EQ(valueText(GetParam().metric, records.view(), true),
              QString::fromUtf8(GetParam().compact));
}

INSTANTIATE_TEST_SUITE_P(
    Records, ValueTextTest,
    ::testing::Values(
        ValueCase{"cpuTruncates", StatusMetric::cpu, [](auto& r) { r.cpu.overall = 0.127; },
                  "CPU 12%", "12%"},
        ValueCase{"cpuNotANumber", StatusMetric::cpu, [](auto& r) { r.cpu.overall = nan; },
                  "CPU 0%", "0%"},
        ValueCase{"ramOfNoTotal", StatusMetric::ram, [](auto& r) { r.ram.usedBytes = 5; }, "RAM 0%",
                  "0%"},
        ValueCase{"diskBesideRootsReserve", StatusMetric::disk,
                  [](auto& r) {
                      r.disk.totalBytes = 200;
                      r.disk.usedBytes = 90;
                      r.disk.availableBytes = 60;
                  },
                  "DSK 60%", "60%"},
        ValueCase{"networkMegabytes", StatusMetric::network,
                  [](auto& r) {
                      r.network.downloadSpeed = 1536000;
                      r.network.uploadSpeed = 2048;
                  },
                  "↑2 KB/s ↓1.5 MB/s", "↑2K ↓1M"},
        ValueCase{"networkGigabytes", StatusMetric::network,
                  [](auto& r) {
                      r.network.downloadSpeed = 1073741824.0 * 1.25;
                      r.network.uploadSpeed = 1023;
                  },
                  "↑1023 B/s ↓1.2 GB/s", "↑1023B ↓1G"},
        ValueCase{"networkNotANumber", StatusMetric::network,
                  [](auto& r) { r.network.downloadSpeed = nan; }, "↑0 B/s ↓0 B/s", "↑0B ↓0B"},
        ValueCase{"batteryNone", StatusMetric::battery, [](auto&) {}, "BAT —", "—"},
        ValueCase{"batteryEmpty", StatusMetric::battery,
                  [](auto& r) { r.battery.hasBattery = true; }, "BAT 0%", "0%"},
        ValueCase{"batteryLevel", StatusMetric::battery,
                  [](auto& r) {
                      r.battery.hasBattery = true;
                      r.battery.percentage = 76;
                  },
                  "BAT 76%", "76%"},
        ValueCase{"gpuNone", StatusMetric::gpu, [](auto& r) { r.gpu.utilization = 0.3; }, "GPU —",
                  "—"},
        ValueCase{"gpuIdle", StatusMetric::gpu, [](auto& r) { r.gpu.acceleratorCount = 1; },
                  "GPU 0%", "0%"},
        ValueCase{"cpuTempRounds", StatusMetric::cpuTemp,
                  [](auto& r) { r.sensors.cpuTempCelsius = 54.6; }, "TMP 55°", "55°"},
        ValueCase{"gpuTempAbsent", StatusMetric::gpuTemp, [](auto&) {}, "GPU-T —", "—"},
        ValueCase{"fanAbsent", StatusMetric::fanSpeed, [](auto&) {}, "FAN —", "—"},
        ValueCase{"fanFirst", StatusMetric::fanSpeed,
                  [](auto& r) {
                      r.sensors.fans = {{0, 2400.4}, {1, 900}};
                  },
                  "FAN 2400", "2400"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LevelCase {
    StatusMetric metric;
    double fraction;
    LevelColor expected;
};

TEST(LevelColorTest, ChangesExactlyAtTheThresholds) {
    const LevelCase cases[] = {
        {StatusMetric::cpu, 0.4999, LevelColor::green},
        {StatusMetric::cpu, 0.5, LevelColor::amber},
        {StatusMetric::cpu, 0.8, LevelColor::red},
        {StatusMetric::gpu, 0.79, LevelColor::amber},
        {StatusMetric::ram, 0.6, LevelColor::amber},
        {StatusMetric::ram, 0.85, LevelColor::red},
        {StatusMetric::disk, 0.59, LevelColor::green},
        {StatusMetric::battery, 0.41, LevelColor::green},
        {StatusMetric::battery, 0.4, LevelColor::amber},
        {StatusMetric::battery, 0.16, LevelColor::amber},
        {StatusMetric::battery, 0.15, LevelColor::red},
        {StatusMetric::cpuTemp, 0.55, LevelColor::amber},
        {StatusMetric::gpuTemp, 0.75, LevelColor::red},
        {StatusMetric::network, 1.0, LevelColor::green},
        {StatusMetric::fanSpeed, 1.0, LevelColor::green},
    };
    for (const LevelCase& c : cases) {
        EXPECT_EQ(levelColor(c.metric, c.fraction), c.expected)
            << rawValue(c.metric).toStdString() << " at " << c.fraction;
    }
}

TEST(ColorFractionTest, TemperatureAndFanAreCappedAndAbsentIsZero) {
    OwnedRecords records;
    EXPECT_EQ(colorFraction(StatusMetric::cpuTemp, records.view()), 0.0);
    EXPECT_EQ(colorFraction(StatusMetric::fanSpeed, records.view()), 0.0);
    records.sensors.cpuTempCelsius = 150;
    records.sensors.fans = {{0, 9000}};
    EXPECT_EQ(colorFraction(StatusMetric::cpuTemp, records.view()), 1.0);
    EXPECT_EQ(colorFraction(StatusMetric::fanSpeed, records.view()), 1.0);
    records.sensors.cpuTempCelsius = 66;  // 0.55 of 120 °C: amber
    EXPECT_EQ(
        levelColor(StatusMetric::cpuTemp, colorFraction(StatusMetric::cpuTemp, records.view())),
        LevelColor::amber);
}

}  // namespace
