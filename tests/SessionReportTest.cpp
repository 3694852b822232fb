#include "recording/ReportText.h"
#include "recording/SessionReportBuilder.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// 2026-01-31T14:05:09Z
const Clock::WallTime kStart = Clock::WallTime{} + 1769868309s;

constexpr auto none = std::nullopt;

// Samples `spacing` apart, `field` set from the values; `none` leaves a reading absent.
template <typename T>
QVector<RecordedSample> samples(std::initializer_list<std::optional<double>> values,
                                T RecordedSample::*field, std::chrono::milliseconds spacing = 10s) {
    QVector<RecordedSample> list;
    for (const std::optional<double>& value : values) {
        RecordedSample sample;
        sample.timestamp = kStart + spacing * list.size();
        if (value) {
            sample.*field = static_cast<T>(*value);
        }
        list.append(sample);
    }
    return list;
}

constexpr auto cpu = &RecordedSample::cpuPercent;
constexpr auto cpuTemp = &RecordedSample::cpuTemp;

SessionReport reportOf(const QVector<RecordedSample>& list) {
    return buildSessionReport(list, kStart);
}

TEST(SessionReport, CpuAveragesPeaksAndTimesAboveThresholds) {
    const SessionReport r = reportOf(samples({50, 85, 85, 95}, cpu));
    EXPECT_EQ(r.sampleCount, 4);
    EXPECT_EQ(r.duration, 30);
    EXPECT_EQ(r.startTime, kStart);
    EXPECT_EQ(r.peakCpu, 95);
    EXPECT_EQ(r.peakCpuTime, kStart + 30s);
    EXPECT_EQ(r.timeAboveCpu80, 30);
    EXPECT_EQ(r.timeAboveCpu90, 10);
    EXPECT_DOUBLE_EQ(r.avgCpu, 78.75);
}

TEST(SessionReport, ThresholdsAreStrictEqualPeaksKeepTheFirstTimeOneSampleIsTwoSeconds) {
    const SessionReport r = reportOf(samples({80, 90, 90}, cpu));
    EXPECT_EQ(r.peakCpuTime, kStart + 10s);
    EXPECT_EQ(r.timeAboveCpu80, 20);
    EXPECT_EQ(r.timeAboveCpu90, 0);
    const SessionReport one = reportOf(samples({95}, cpu));
    EXPECT_EQ(one.duration, 0);
    EXPECT_EQ(one.timeAboveCpu90, 2);
}

TEST(SessionReport, AbsentTemperaturesCountNoSampleAndLeaveTheFiguresOut) {
    const SessionReport desktop = reportOf(samples({none, none, none}, cpuTemp));
    EXPECT_EQ(desktop.cpuTempSamples, 0);
    EXPECT_EQ(desktop.peakCpuTempTime, kStart);
    EXPECT_TRUE(desktop.cpuTempHistory.isEmpty());

    const SessionReport some = reportOf(samples({none, 70, 95, none}, cpuTemp));
    EXPECT_EQ(some.cpuTempSamples, 2);
    EXPECT_DOUBLE_EQ(some.avgCpuTemp, 82.5);  // the absent readings do not count
    EXPECT_EQ(some.peakCpuTempTime, kStart + 20s);
    EXPECT_EQ(some.timeAboveTemp80, 10);
    EXPECT_EQ(some.timeAboveTemp90, 10);
    EXPECT_EQ(some.cpuTempHistory, (QVector<double>{70, 95}));
}

TEST(SessionReport, PowerAveragesMeasuredValuesAndGivesEnergy) {
    const SessionReport r =
        reportOf(samples({none, 10, 20, 30}, &RecordedSample::systemPower, 1200s));
    EXPECT_EQ(r.powerSamples, 3);
    EXPECT_EQ(r.avgPower, 20);
    EXPECT_EQ(r.peakPower, 30);
    EXPECT_DOUBLE_EQ(r.totalEnergy, 1.0 * 20);  // one hour at 20 W
    EXPECT_EQ(r.powerHistory, (QVector<double>{10, 20, 30}));
    const SessionReport unmeasured = reportOf(samples({none, none}, &RecordedSample::systemPower));
    EXPECT_EQ(unmeasured.powerSamples, 0);
    EXPECT_TRUE(unmeasured.powerHistory.isEmpty());
}

TEST(SessionReport, FansCountIdleSamplesAndAverageTheActiveOnes) {
    const SessionReport r = reportOf(samples({0, none, 0, 1200, 0}, &RecordedSample::fanRpm));
    EXPECT_EQ(r.fanSamples, 4);
    EXPECT_EQ(r.fanIdlePercent, 75);  // of the samples with a fan reading
    EXPECT_EQ(r.avgFanRpm, 1200);
    EXPECT_EQ(r.peakFanTime, kStart + 30s);
}

// What each block of the report rests on: samples holding the reading, and nothing made up
// for a machine without the source.
TEST(SessionReport, EachBlockCountsTheSamplesThatHeldItsReading) {
    const struct {
        const char* machine;
        QVector<RecordedSample> samples;
        std::int64_t gpu, cpuTemp, power, fan, battery;
    } cases[] = {
        {"desktop without GPU, sensors or battery", samples({none, none}, cpuTemp), 0, 0, 0, 0, 0},
        {"GPU busy at 0 %", samples({0, 0}, &RecordedSample::gpuPercent), 2, 0, 0, 0, 0},
        {"CPU sensor only", samples({61, 62}, cpuTemp), 0, 2, 0, 0, 0},
        {"fan standing still", samples({0, 0}, &RecordedSample::fanRpm), 0, 0, 0, 2, 0},
        {"battery at 0 %", samples({0, 0}, &RecordedSample::batteryPercent), 0, 0, 0, 0, 2},
    };
    for (const auto& c : cases) {
        const SessionReport r = reportOf(c.samples);
        EXPECT_EQ(r.gpuSamples, c.gpu) << c.machine;
        EXPECT_EQ(r.cpuTempSamples, c.cpuTemp) << c.machine;
        EXPECT_EQ(r.powerSamples, c.power) << c.machine;
        EXPECT_EQ(r.fanSamples, c.fan) << c.machine;
        EXPECT_EQ(r.batterySamples, c.battery) << c.machine;
    }
    // The battery's start and end are those of the samples that held a level.
    const SessionReport plugged =
        reportOf(samples({none, 80, 78, none}, &RecordedSample::batteryPercent));
    EXPECT_EQ(plugged.batteryStart, 80);
    EXPECT_EQ(plugged.batteryDrain, 2);
}

TEST(SessionReport, ThrottlingCountsSeriousAndCriticalStretches) {
    const struct {
        std::initializer_list<std::optional<double>> states;
        std::int64_t seconds;
        std::int64_t episodes;
    } cases[] = {
        {{0, 2, 3, 0, 2}, 30, 2},
        {{3, 3, 1, 2}, 30, 2},  // a throttled first sample starts an episode
        {{0, 1, 1}, 0, 0},
    };
    for (const auto& c : cases) {
        const SessionReport r = reportOf(samples(c.states, &RecordedSample::thermalState));
        EXPECT_EQ(r.thermalThrottleSeconds, c.seconds);
        EXPECT_EQ(r.thermalThrottleEpisodes, c.episodes);
    }
    // 2 samples over 7 s: the interval is 3.5 s and 3.5 is truncated to 3.
    const SessionReport uneven =
        reportOf(samples({2, 0, 0}, &RecordedSample::thermalState, 3500ms));
    EXPECT_EQ(uneven.thermalThrottleSeconds, 3);
}

TEST(SessionReport, NoSamplesGiveTheSharedEmptyReport) {
    const SessionReport first = buildSessionReport({}, kStart);
    const SessionReport later = buildSessionReport({}, kStart + 1h);
    EXPECT_EQ(first, later);  // built once, dated then
    EXPECT_EQ(first.fanIdlePercent, 100);
    EXPECT_EQ(first.sampleCount, 0);
}

TEST(Downsample, PicksEvenlySpacedValuesWithoutAveraging) {
    QVector<double> ramp;
    for (int i = 0; i < 300; ++i) {
        ramp.append(i);
    }
    const QVector<double> picked = downsample(ramp, 120);
    ASSERT_EQ(picked.size(), 120);
    EXPECT_EQ(picked.mid(0, 5), (QVector<double>{0, 2, 5, 7, 10}));
    EXPECT_EQ(picked.last(), 297);
    EXPECT_EQ(downsample(ramp.mid(0, 7), 120), ramp.mid(0, 7));
    EXPECT_TRUE(downsample(ramp, 0).isEmpty());
    EXPECT_EQ(downsample({1, 2, 3}, 2), (QVector<double>{1, 2}));
}

TEST(ReportText, DatesInTheGivenZone) {
    const QTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(dateRangeText(kStart, kStart + 9h, QTimeZone::utc()),
              "Jan 31, 14:05 → Jan 31, 23:05");
    EXPECT_EQ(dateRangeText(kStart, kStart + 9h, berlin), "Jan 31, 15:05 → Feb 1, 00:05");
    EXPECT_EQ(clockTimeText(kStart, berlin), "15:05:09");
}

TEST(ReportText, SummaryOfABusySession) {
    QVector<RecordedSample> list;
    const struct {
        double cpu, cpuTemp, gpuTemp, ssdTemp, power, fan;
        int battery, thermal;
    } rows[] = {
        {50, 70, 60, 40, 20, 0, 90, 0},
        {95, 92, 65, 41, 40, 1500, 89, 2},
        {85, 85, 62, 42, 30, 0, 88, 3},
        {40, 60, 61, 43, 10, 0, 87, 0},
    };
    int i = 0;
    for (const auto& row : rows) {
        RecordedSample s;
        s.timestamp = kStart + std::chrono::seconds(100 * i++);
        s.cpuPercent = row.cpu;
        s.cpuTemp = row.cpuTemp;
        s.gpuTemp = row.gpuTemp;
        s.ssdTemp = row.ssdTemp;
        s.systemPower = row.power;
        s.fanRpm = row.fan;
        s.batteryPercent = row.battery;
        s.thermalState = row.thermal;
        list.append(s);
    }
    EXPECT_EQ(summaryText(reportOf(list), QTimeZone::utc()),
              "Session: 5m 0s (4 samples)\n"
              "\n"
              "CPU: avg 67.5%, peak 95.0% at 14:06:49\n"
              "  Above 80% for 3m 20s\n"
              "CPU Temp: avg 76.8°C, peak 92.0°C at 14:06:49\n"
              "  Above 80°C for 3m 20s\n"
              "GPU Temp: avg 62.0°C, peak 65.0°C at 14:06:49\n"
              "SSD Temp: avg 41.5°C, peak 43.0°C at 14:10:09\n"
              "\n"
              "Power: avg 25.0 W, peak 40.0 W at 14:06:49, total 2.08 Wh\n"
              "Fans: peak 1500 RPM at 14:06:49, idle 75% of session\n"
              "Battery: 90% → 87% (-3%)\n"
              "Throttled: 3m 20s across 1 episode(s)");
}

// Two samples 10 s apart of a machine with or without sensors (and fan) and battery.
QVector<RecordedSample> recordingOn(bool sensors, bool battery) {
    QVector<RecordedSample> list;
    for (int i = 0; i < 2; ++i) {
        RecordedSample s;
        s.timestamp = kStart + 10s * i;
        s.cpuPercent = 30;
        if (sensors) {
            s.cpuTemp = 60 + i;
            s.gpuTemp = s.ssdTemp = 40;
            s.systemPower = 18;
            s.fanRpm = 0;
        }
        if (battery) {
            s.batteryPercent = 80 - 2 * i;
        }
        list.append(s);
    }
    return list;
}

TEST(ReportText, SummaryLinesOfMachinesWithAndWithoutSensorsAndBattery) {
    const struct {
        const char* machine;
        bool sensors, battery;
        QStringList lines;  // after the session and CPU lines
    } cases[] = {
        {"desktop",
         false,
         false,
         {"CPU Temp: No sensor", "GPU Temp: No sensor", "SSD Temp: No sensor", "",
          "Power: No sensor", "Fans: No sensor", "Throttled: None"}},
        {"desktop with sensors",
         true,
         false,
         {"CPU Temp: avg 60.5°C, peak 61.0°C at 14:05:19",
          "GPU Temp: avg 40.0°C, peak 40.0°C at 14:05:09",
          "SSD Temp: avg 40.0°C, peak 40.0°C at 14:05:09", "",
          "Power: avg 18.0 W, peak 18.0 W at 14:05:09, total 0.05 Wh", "Fans: idle entire session",
          "Throttled: None"}},
        {"laptop without helper",
         false,
         true,
         {"CPU Temp: No sensor", "GPU Temp: No sensor", "SSD Temp: No sensor", "",
          "Power: No sensor", "Fans: No sensor", "Battery: 80% → 78% (-2%)", "Throttled: None"}},
    };
    for (const auto& c : cases) {
        const QString text =
            summaryText(reportOf(recordingOn(c.sensors, c.battery)), QTimeZone::utc());
        EXPECT_EQ(text.split(u'\n').mid(3), c.lines) << c.machine;
    }
}

}  // namespace
