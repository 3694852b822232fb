#include "helper/SensorCollector.h"
#include "helper/SensorTestReport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

namespace {

TEST(SensorTestReport, ShortestRoundTripWithADigitAfterThePoint) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {41.5, "41.5"},
        {2000.0, "2000.0"},
        {-1.0, "-1.0"},
        {static_cast<double>(36.85f), "36.849998474121094"},
        {6.103515625e-05, "0.00006103515625"},
        {1e21, "1000000000000000000000.0"},
        {std::numeric_limits<double>::infinity(), "inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shortestDecimal(c.value), c.text);
    }
}

TEST(SensorTestReport, PrintsTheTitleFourteenPaddedLinesAndTheRule) {
    SensorReading reading;
    reading.cpuTempCelsius = 41.5;
    reading.batteryTempCelsius = 30.25;
    reading.cpuPowerWatts = 12.0;
    reading.systemPowerWatts = 12.0;
    reading.fan0Rpm = 2000.0;
    reading.fan1Rpm = 0.0;
    reading.fanCount = 2;
    EXPECT_EQ(formatSensorTest(reading),
              "=== Vantrel Sensor Test ===\n"
              "CPU Temp:     41.5\n"
              "GPU Temp:     -1.0\n"
              "Batt Temp:    30.25\n"
              "SSD Temp:     -1.0\n"
              "Memory Temp:  -1.0\n"
              "Ambient Temp: -1.0\n"
              "IO Temp:      -1.0\n"
              "CPU Power:    12.0\n"
              "GPU Power:    -1.0\n"
              "System Power: 12.0\n"
              "Charger:      -1.0\n"
              "Fan 0:        2000.0\n"
              "Fan 1:        0.0\n"
              "Fan Count:    2\n"
              "============================\n");
}

TEST(SensorTestReport, RunCollectsOnceAndPrints) {
    int reads = 0;
    FieldSources sources;
    sources.of(SensorField::cpuTemperature).push_back([&] {
        ++reads;
        return std::optional<double>(28.5);
    });
    sources.fanCount = [&] {
        ++reads;
        return std::optional<double>(1.0);
    };
    SensorCollector collector(std::move(sources), {}, {});
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(runSensorTest(collector, out), 0);
    std::rewind(out);
    std::string text(1024, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    SensorReading collected;
    collected.cpuTempCelsius = 28.5;
    collected.fanCount = 1;
    EXPECT_EQ(text, formatSensorTest(collected));
    EXPECT_EQ(reads, 2) << "one collection";
}

}  // namespace
