#include "core/AppSettings.h"
#include "recording/CsvFormat.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <utility>

namespace {

using namespace std::chrono_literals;

// 2026-01-31T14:05:09Z
const Clock::WallTime kTime = Clock::WallTime{} + 1769868309s;

// Readings in which every column has a distinct value worth checking.
CurrentReadings busyReadings() {
    CurrentReadings r;
    r.cpu.overall = 0.4567;
    r.ram.totalBytes = 4;
    r.ram.usedBytes = 3;
    r.gpu.utilization = 0.123;
    r.disk.totalBytes = 4;  // one byte reserved for root
    r.disk.usedBytes = 1;
    r.disk.availableBytes = 2;
    r.battery.percentage = 57;
    r.network.uploadSpeed = 1234.56;
    r.network.downloadSpeed = 0.04;
    r.thermalState = ThermalState::serious;
    r.sensors.cpuTempCelsius = 65.25;  // a tie: "%.1f" rounds it to even
    r.sensors.ssdTempCelsius = -5;
    r.sensors.batteryTempCelsius = 30.05;
    r.sensors.chargerPowerWatts = 0;
    r.sensors.fans = {{0, 1200}};
    return r;
}

TEST(CsvFormat, TimestampsAreWholeSecondsInUtc) {
    const struct {
        Clock::WallTime time;
        const char* text;
    } cases[] = {
        {kTime + 999ms, "2026-01-31T14:05:09Z"},  // fractions are dropped, not rounded
        {Clock::WallTime{} - 500ms, "1969-12-31T23:59:59Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isoTimestamp(c.time), c.text);
    }
}

TEST(CsvFormat, RowKindsWriteValuesAndMarkersTheirOwnWay) {
    const struct {
        const char* name;
        CurrentReadings readings;
        const char* current;
        const char* recorded;
    } cases[] = {
        {"initial records", CurrentReadings{},
         "2026-01-31T14:05:09Z,0.0,0.0,0.0,0.0,0,0.0,0.0,0,"
         "-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0",
         "2026-01-31T14:05:09Z,0.0,0.0,0.0,0.0,0,0.0,0.0,0,"
         "-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,0.0,0.0"},
        {"one fan, mixed sensors", busyReadings(),
         "2026-01-31T14:05:09Z,45.7,75.0,12.3,33.3,57,1234.6,0.0,2,"
         "65.2,-1.0,-5.0,-1.0,30.1,-1.0,0.0,1200.0,-1.0",
         "2026-01-31T14:05:09Z,45.7,75.0,12.3,33.3,57,1234.6,0.0,2,"
         "65.2,-1.0,-5.0,-1.0,30.1,-1.0,0.0,1200.0,0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(currentReadingsRow(c.readings, kTime), c.current);
        EXPECT_EQ(recordedRow(c.readings, kTime), c.recorded);
    }
    CurrentReadings twoFans;
    twoFans.ram.usedBytes = 5;                        // of an empty total: 0 %
    twoFans.sensors.fans = {{1, 2100.5}, {0, 1800}};  // by position, not by index
    EXPECT_TRUE(recordedRow(twoFans, kTime).startsWith("2026-01-31T14:05:09Z,0.0,0.0,"));
    EXPECT_TRUE(currentReadingsRow(twoFans, kTime).endsWith(",2100.5,1800.0"));
}

// The row writes 0 for a missing GPU, battery or fan; the report's sample leaves them absent.
TEST(CsvFormat, RecordedSampleLeavesWhatTheMachineLacksAbsent) {
    CurrentReadings laptop = busyReadings();
    laptop.gpu.acceleratorCount = 1;
    laptop.battery.hasBattery = true;
    const RecordedSample sample = recordedSampleOf(laptop, kTime);
    EXPECT_DOUBLE_EQ(sample.cpuPercent, 45.67);
    EXPECT_DOUBLE_EQ(*sample.gpuPercent, 12.3);
    EXPECT_EQ(sample.cpuTemp, 65.25);
    EXPECT_EQ(sample.gpuTemp, std::nullopt);
    EXPECT_EQ(sample.ssdTemp, -5);
    EXPECT_EQ(sample.fanRpm, 1200);
    EXPECT_EQ(sample.batteryPercent, 57);

    const RecordedSample desktop = recordedSampleOf(busyReadings(), kTime);
    EXPECT_EQ(desktop.gpuPercent, std::nullopt);
    EXPECT_EQ(desktop.batteryPercent, std::nullopt);
    const RecordedSample bare = recordedSampleOf(CurrentReadings{}, kTime);
    EXPECT_EQ(bare.fanRpm, std::nullopt);
    EXPECT_EQ(bare.cpuTemp, std::nullopt);
}

TEST(CsvFormat, HistoryRowsScalePercentagesAndFixThermalAndSecondFan) {
    MonitorHistories histories;
    histories.cpu.append(0.5);
    histories.ram.append(0.25);
    histories.gpu.append(0.1);
    histories.disk.append(0.75);
    histories.battery.append(0.57);
    histories.networkUp.append(10);
    histories.networkDown.append(20.25);
    histories.cpuTemp.append(0);  // absent when sampled: the history holds 0
    histories.gpuTemp.append(55);
    histories.fan0.append(900);
    EXPECT_EQ(historyRow(histories, 0, kTime),
              "2026-01-31T14:05:09Z,50.0,25.0,10.0,75.0,57.0,10.0,20.2,0,"
              "0.0,55.0,0.0,0.0,0.0,0.0,0.0,900.0,0.0");
}

TEST(CsvFormat, ShorterSensorHistoriesLineUpAtTheNewestPoll) {
    MonitorHistories histories;
    for (double cpu : {0.1, 0.2, 0.3}) {
        histories.cpu.append(cpu);
    }
    histories.cpuTemp.append(71);  // the helper answered in the last poll only
    const QString text = buildSnapshotCsv(CurrentReadings{}, histories, 2.0, kTime);
    const QStringList lines = text.split(u'\n');
    ASSERT_EQ(lines.size(), 5);
    const double expectedCpuTemp[] = {0, 0, 71};
    for (int i = 0; i < 3; ++i) {
        const QStringList columns = lines[2 + i].split(u',');
        ASSERT_EQ(columns.size(), 18) << lines[2 + i].toStdString();
        EXPECT_EQ(columns[1].toDouble(), (i + 1) * 10.0);
        EXPECT_EQ(columns[9].toDouble(), expectedCpuTemp[i]) << "row " << i;
    }
}

TEST(CsvFormat, SnapshotBeforeAnyPollIsHeaderAndCurrentRowWithoutFinalLineFeed) {
    const QString text = buildSnapshotCsv(CurrentReadings{}, MonitorHistories{}, 2.0, kTime);
    EXPECT_EQ(text, csvHeader() + u'\n' + currentReadingsRow(CurrentReadings{}, kTime));
    EXPECT_FALSE(text.endsWith(u'\n'));
}

TEST(CsvFormat, HistorySpacingFallsBackToTwoSecondsForUnusableIntervals) {
    const struct {
        double refresh;
        double spacing;
    } cases[] = {{5, 5}, {0.25, 0.25}, {0, 2}, {-1, 2}, {NAN, 2}, {INFINITY, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(snapshotHistoryInterval(c.refresh), c.spacing) << c.refresh;
    }
}

TEST(CsvFormat, SnapshotAfterSeventyFivePollsDatesSixtyHistoryRowsBackFromNow) {
    MonitorHarness h;
    h.monitor->setHelperAvailable(true);
    h.fakes.sensors->next.cpuTempCelsius = 62.5;
    h.fakes.sensors->next.fans = {{0, 1500}};
    h.fakes.battery->next.percentage = 57;
    h.fakes.thermal->next = ThermalState::fair;
    h.monitor->startPolling();
    h.clock.advance(147s);  // polls at 0.05, 0.85, then every 2 s: the 75th at 146.85
    ASSERT_EQ(h.monitor->session().pollCount, 75);

    const Clock::WallTime now = h.clock.wallNow();
    const QStringList lines = buildSnapshotCsv(*h.monitor, now).split(u'\n');
    ASSERT_EQ(lines.size(), 62);
    EXPECT_EQ(lines[0], csvHeader());
    EXPECT_EQ(lines[1], currentReadingsRow(currentReadingsOf(*h.monitor), now));
    for (int i = 0; i < 60; ++i) {
        const QStringList columns = lines[2 + i].split(u',');
        ASSERT_EQ(columns.size(), 18);
        const auto secondsBack = std::chrono::seconds(2 * (59 - i));  // 118, 116, …, 0
        EXPECT_EQ(columns[0], isoTimestamp(now - secondsBack)) << "row " << i;
        EXPECT_EQ(columns[9], "62.5");
    }
}

// The list of every sensor is the JSON's: the CSV files keep their columns and values.
TEST(CsvFormat, TheListOfEverySensorChangesNoColumn) {
    const auto rowsWith = [](const QVector<SensorChannelReading>& channels) {
        MonitorHarness h;
        h.monitor->setHelperAvailable(true);
        h.fakes.sensors->next.cpuTempCelsius = 62.5;
        h.fakes.sensors->next.fans = {{0, 1500}};
        h.fakes.sensors->next.channels = channels;
        h.monitor->poll();
        const Clock::WallTime now = h.clock.wallNow();
        return std::pair(recordedRow(currentReadingsOf(*h.monitor), now),
                         buildSnapshotCsv(*h.monitor, now));
    };
    const QVector<SensorChannelReading> channels = {
        {"platform_nct6775_656", "fan2", "nct6798", "", SensorChannelKind::fan, 900, {}, {}, {}},
        {"thermal_zone0",
         "temp",
         "x86_pkg_temp",
         "",
         SensorChannelKind::temperature,
         48,
         {},
         {},
         105},
    };
    EXPECT_EQ(rowsWith(channels), rowsWith({}));
}

}  // namespace
